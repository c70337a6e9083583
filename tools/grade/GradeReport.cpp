#include "GradeReport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += char(c);
        }
    }
  }
  return out + "\"";
}

std::string jsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

const char* boundWords(BoundKind kind) { return kind == BoundKind::kAtMost ? "at most" : "at least"; }

void writeScenario(std::FILE* f, const GradedScenario& scenario, const ScenarioGrade& g) {
  const ScenarioResult& r = g.run.result;
  std::fprintf(
      f, "        {\"name\": %s, \"setup\": %s, \"outcome\": \"%s\", \"reason\": %s, \"wallSeconds\": %s,\n",
      jsonString(scenario.name).c_str(), jsonString(r.setup).c_str(), outcomeName(g.outcome),
      jsonString(g.reason).c_str(), jsonNumber(g.wallSeconds).c_str());
  std::fprintf(f, "         \"checks\": [");
  for (size_t i = 0; i < g.checks.size(); ++i) {
    const BoundCheck& c = g.checks[i];
    std::fprintf(
        f,
        "%s{\"figure\": %s, \"unit\": %s, \"bound\": \"%s\", \"limit\": %s, \"value\": %s, \"passed\": %s}",
        i ? ", " : "", jsonString(c.bound.name).c_str(), jsonString(figureUnit(c.bound.figure)).c_str(),
        boundWords(c.bound.kind), jsonNumber(c.bound.bound).c_str(), jsonNumber(c.value).c_str(),
        c.passed ? "true" : "false");
  }
  std::fprintf(f, "],\n         \"figures\": {");
  if (g.outcome == ScenarioGrade::kPass || g.outcome == ScenarioGrade::kFail) {
    bool first = true;
    for (const ScenarioFigure& figure : scenarioFigures()) {
      std::fprintf(f, "%s%s: %s", first ? "" : ", ", jsonString(figure.name).c_str(),
                   jsonNumber(r.*figure.field).c_str());
      first = false;
    }
  }
  std::fprintf(f, "},\n         \"messages\": %s}", jsonString(r.messages).c_str());
}

}  // namespace

int PluginGrades::passed() const {
  return int(std::count_if(grades.begin(), grades.end(),
                           [](const ScenarioGrade& g) { return g.outcome == ScenarioGrade::kPass; }));
}

const ScenarioRun* PluginGrades::loadedRun() const {
  for (const ScenarioGrade& g : grades)
    if ((g.outcome == ScenarioGrade::kPass || g.outcome == ScenarioGrade::kFail) && g.run.loadError.empty())
      return &g.run;
  return nullptr;
}

std::string PluginGrades::notes() const {
  const ScenarioRun* run = loadedRun();
  if (!run) return "";
  std::string out;
  if (!run->tagged) out += "no layout tag: not checked against this simulator's state record\n";
  if (!run->missing.empty()) out += "does not export " + run->missing + "\n";
  return out;
}

void printGradeTable(const std::vector<const GradedScenario*>& scenarios,
                     const std::vector<PluginGrades>& plugins, std::FILE* out) {
  size_t nameWidth = std::strlen("scenario");
  for (const GradedScenario* s : scenarios) nameWidth = std::max(nameWidth, s->name.size());
  std::vector<size_t> widths;
  for (const PluginGrades& p : plugins) {
    size_t width = p.path.size();
    for (const ScenarioGrade& g : p.grades) width = std::max(width, g.brief.size());
    widths.push_back(width);
  }
  // One row: the first column, then a cell per plug-in (the last one unpadded).
  auto row = [&](const std::string& first, const std::function<std::string(size_t)>& cell) {
    std::fprintf(out, "%-*s", int(nameWidth), first.c_str());
    for (size_t k = 0; k < plugins.size(); ++k)
      std::fprintf(out, "  %-*s", k + 1 < plugins.size() ? int(widths[k]) : 0, cell(k).c_str());
    std::fprintf(out, "\n");
  };
  row("scenario", [&](size_t k) { return plugins[k].path; });
  for (size_t i = 0; i < scenarios.size(); ++i)
    row(scenarios[i]->name, [&](size_t k) { return plugins[k].grades[i].brief; });
  row("passed", [&](size_t k) {
    return std::to_string(plugins[k].passed()) + " of " + std::to_string(scenarios.size());
  });
  for (const PluginGrades& p : plugins) {
    const std::string notes = p.notes();
    if (p.allPassed() && notes.empty()) continue;
    std::fprintf(out, "\n%s:\n", p.path.c_str());
    for (size_t at = 0; at < notes.size();) {
      const size_t end = notes.find('\n', at);
      std::fprintf(out, "  %s\n", notes.substr(at, end - at).c_str());
      at = end + 1;
    }
    for (size_t i = 0; i < scenarios.size(); ++i)
      if (p.grades[i].outcome != ScenarioGrade::kPass)
        std::fprintf(out, "  %-*s %s\n", int(nameWidth), scenarios[i]->name.c_str(),
                     p.grades[i].reason.c_str());
  }
}

bool writeGradeJson(const std::string& path, const std::vector<const GradedScenario*>& scenarios,
                    const std::vector<PluginGrades>& plugins, double timeLimit, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  const bool passed =
      std::all_of(plugins.begin(), plugins.end(), [](const PluginGrades& p) { return p.allPassed(); });
  std::fprintf(f, "{\n  \"passed\": %s,\n  \"timeLimitSeconds\": %s,\n  \"plugins\": [\n",
               passed ? "true" : "false", jsonNumber(timeLimit).c_str());
  for (size_t k = 0; k < plugins.size(); ++k) {
    const PluginGrades& p = plugins[k];
    const ScenarioRun* run = p.loadedRun();
    std::fprintf(f, "    {\"path\": %s, \"passed\": %d, \"failed\": %d, \"tagged\": %s, \"missing\": %s,\n",
                 jsonString(p.path).c_str(), p.passed(), int(p.grades.size()) - p.passed(),
                 run ? (run->tagged ? "true" : "false") : "null",
                 run ? jsonString(run->missing).c_str() : "null");
    std::fprintf(f, "      \"scenarios\": [\n");
    for (size_t i = 0; i < scenarios.size(); ++i) {
      writeScenario(f, *scenarios[i], p.grades[i]);
      std::fprintf(f, "%s\n", i + 1 < scenarios.size() ? "," : "");
    }
    std::fprintf(f, "      ]}%s\n", k + 1 < plugins.size() ? "," : "");
  }
  std::fprintf(f, "  ]\n}\n");
  const bool written = std::ferror(f) == 0;
  if (std::fclose(f) != 0 || !written) {
    error = path + ": could not be written completely";
    return false;
  }
  return true;
}

void printScenarioBounds(const std::vector<GradedScenario>& scenarios, std::FILE* out) {
  for (const GradedScenario& s : scenarios) {
    std::fprintf(out, "%s:", s.name.c_str());
    for (size_t i = 0; i < s.bounds.size(); ++i) {
      const FigureBound& b = s.bounds[i];
      const char* unit = figureUnit(b.figure);
      std::fprintf(out, "%s %s %s %g%s%s", i ? "," : "", b.name, boundWords(b.kind), b.bound,
                   *unit ? " " : "", unit);
    }
    std::fprintf(out, "\n");
  }
}
