// korvex-grade: grades control plug-ins in the scenarios of every control
// mode (and any others in the catalogue), each scenario in a child process
// with a time limit, and prints a table of pass and fail (and, on request,
// JSON). Run it from the run directory, which holds puma560.prm.
//
//   korvex-grade [--plugin PATH]... [--json FILE] [--jobs N] [--time-limit S] [--scenario NAME]... [--list]
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "grade/ChildPool.h"
#include "grade/GradeOptions.h"
#include "grade/GradeReport.h"
#include "grade/ScenarioRun.h"
#include "scenarios/GradedScenarios.h"

namespace {

int usageError(const std::string& message) {
  std::fprintf(stderr, "korvex-grade: %s\n%s", message.c_str(), kGradeUsage);
  return 2;
}

bool isFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
  GradeOptions options;
  std::string error;
  if (!parseGradeOptions(argc - 1, argv + 1, options, error)) return usageError(error);
  const std::vector<GradedScenario>& catalogue = gradedScenarios();
  if (options.list) {
    printScenarioBounds(catalogue, stdout);
    return 0;
  }
  std::vector<const GradedScenario*> scenarios;
  for (const GradedScenario& s : catalogue)
    if (options.scenarios.empty() ||
        std::find(options.scenarios.begin(), options.scenarios.end(), s.name) != options.scenarios.end())
      scenarios.push_back(&s);
  for (const std::string& name : options.scenarios)
    if (std::none_of(scenarios.begin(), scenarios.end(),
                     [&](const GradedScenario* s) { return s->name == name; }))
      return usageError("no scenario '" + name + "' (korvex-grade --list shows them)");
  for (const std::string& plugin : options.plugins)
    if (!isFile(plugin)) return usageError("no plug-in file " + plugin);
  if (!isFile("puma560.prm"))
    return usageError("puma560.prm is not in the working directory; run from the simulator's run directory");

  std::vector<PluginGrades> plugins(options.plugins.size());
  for (size_t k = 0; k < plugins.size(); ++k) {
    plugins[k].path = options.plugins[k];
    plugins[k].grades.resize(scenarios.size());
  }
  const int perPlugin = int(scenarios.size());
  const int total = perPlugin * int(plugins.size());
  const bool progress = isatty(STDERR_FILENO);
  const auto begin = std::chrono::steady_clock::now();
  int finished = 0;
  runInChildren(
      total, options.jobs, options.timeLimit,
      [&](int job) {
        return encodeScenarioRun(
            runGradedScenario(options.plugins[job / perPlugin], *scenarios[job % perPlugin]));
      },
      [&](int job, ChildOutcome&& child) {
        plugins[job / perPlugin].grades[job % perPlugin] =
            gradeScenario(*scenarios[job % perPlugin], child, options.timeLimit);
        if (progress) std::fprintf(stderr, "\rkorvex-grade: %d of %d scenarios graded", ++finished, total);
      });
  if (progress) std::fprintf(stderr, "\r\033[K");

  printGradeTable(scenarios, plugins, stdout);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  std::fprintf(stderr, "korvex-grade: %d scenarios graded in %.1f s, %d at a time\n", total, wall,
               options.jobs);
  if (!options.jsonPath.empty() &&
      !writeGradeJson(options.jsonPath, scenarios, plugins, options.timeLimit, error)) {
    std::fprintf(stderr, "korvex-grade: %s\n", error.c_str());
    return 1;
  }
  const bool passed =
      std::all_of(plugins.begin(), plugins.end(), [](const PluginGrades& p) { return p.allPassed(); });
  return passed ? 0 : 1;
}
