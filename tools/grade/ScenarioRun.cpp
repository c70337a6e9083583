#include "ScenarioRun.h"

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "scenarios/GradedScenarios.h"
#include "scenarios/ScenarioBench.h"
#include "scenarios/ScenarioFigures.h"
#include "servo/ControlPlugin.h"

namespace {

// One "key value" line per field; line feeds and backslashes in texts escaped.
std::string escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::string unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out += text[++i] == 'n' ? '\n' : text[i];
      continue;
    }
    out += text[i];
  }
  return out;
}

constexpr const char* kEnd = "end";
constexpr rlim_t kMemoryLimit = rlim_t(2) << 30;  // bytes of address space

}  // namespace

ScenarioRun runGradedScenario(const std::string& pluginPath, const GradedScenario& scenario) {
#ifndef KORVEX_SANITIZED  // the sanitizers reserve far more address space than this
  // A plug-in that allocates without end fails its scenario instead of
  // pushing the machine into swap; a scenario needs some tens of megabytes.
  const rlimit memory{kMemoryLimit, kMemoryLimit};
  setrlimit(RLIMIT_AS, &memory);
#endif
  ScenarioRun run;
  PluginOpening opening = openControlPlugin(pluginPath.c_str(), false);
  if (!opening.plugin.loaded()) {
    run.loadError = opening.error;
    return run;
  }
  run.missing = opening.missing;
  run.tagged = opening.plugin.tagged();
  ScenarioBench bench(std::move(opening.plugin));
  if (!bench.ready()) {
    run.loadError = "the simulated arm could not be built from puma560.prm";
    return run;
  }
  run.result = scenario.run(bench);
  run.refusedTicks = bench.refusedTorqueTicks();
  return run;
}

std::string encodeScenarioRun(const ScenarioRun& run) {
  std::ostringstream out;
  out << "loadError " << escape(run.loadError) << "\n";
  out << "missing " << escape(run.missing) << "\n";
  out << "tagged " << (run.tagged ? 1 : 0) << "\n";
  out << "refusedTicks " << run.refusedTicks << "\n";
  out << "mode " << run.result.mode << "\n";
  out << "word " << escape(run.result.word) << "\n";
  out << "setup " << escape(run.result.setup) << "\n";
  out << "messages " << escape(run.result.messages) << "\n";
  char number[32];
  for (const ScenarioFigure& figure : scenarioFigures()) {
    std::snprintf(number, sizeof number, "%.9g", run.result.*figure.field);
    out << figure.name << " " << number << "\n";
  }
  out << kEnd << "\n";
  return out.str();
}

bool decodeScenarioRun(const std::string& text, ScenarioRun& run) {
  std::istringstream in(text);
  bool complete = false;
  for (std::string line; std::getline(in, line);) {
    const size_t space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
    if (key == kEnd) complete = true;
    if (key == "loadError") run.loadError = unescape(value);
    if (key == "missing") run.missing = unescape(value);
    if (key == "tagged") run.tagged = value == "1";
    if (key == "refusedTicks") run.refusedTicks = std::atoll(value.c_str());
    if (key == "mode") run.result.mode = std::atoi(value.c_str());
    if (key == "word") run.result.word = unescape(value);
    if (key == "setup") run.result.setup = unescape(value);
    if (key == "messages") run.result.messages = unescape(value);
    for (const ScenarioFigure& figure : scenarioFigures())
      if (key == figure.name) run.result.*figure.field = std::strtod(value.c_str(), nullptr);
  }
  return complete;
}
