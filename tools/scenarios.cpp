// korvex-scenarios: runs the servo, control.dll and the simulated arm headless
// and faster than real time through one scenario per control mode, and prints
// the measured figures. Run it from the run directory (it loads ./control.dll
// and puma560.prm from there).
//
//   korvex-scenarios [--plugin PATH] [--messages]
#include "scenarios/Scenarios.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "scenarios/HardCases.h"
#include "scenarios/ScenarioBench.h"
#include "servo/Servo.h"

int main(int argc, char** argv) {
  const char* plugin = "./control.dll";
  bool messages = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
      plugin = argv[++i];
    } else if (std::strcmp(argv[i], "--messages") == 0) {
      messages = true;
    } else {
      std::fprintf(stderr, "Usage: korvex-scenarios [--plugin PATH] [--messages]\n");
      return 2;
    }
  }
  ScenarioBench bench(plugin);
  if (!bench.ready() || !bench.pluginLoaded()) {
    std::fprintf(stderr, "korvex-scenarios: cannot run without the arm and the plug-in %s\n", plugin);
    return 1;
  }
  const auto wallStart = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  const std::vector<ScenarioResult> results = runScenarios(bench);
  std::printf("Default gains, friction on; errors at the end of each scenario, peaks over it.\n");
  printScenarioTable(results, stdout);
  std::printf("\nHard cases (tools/scenarios/HardCases.h): the figures korvex-grade bounds.\n");
  printHardCaseTable(bench, stdout);
  const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  if (messages)
    for (const ScenarioResult& r : results)
      if (!r.messages.empty()) std::printf("[%s] %s", r.word.c_str(), r.messages.c_str());
  // The speed of the whole headless loop: requests, servo tick, arm step, observers.
  const long long ticks = bench.ticks();
  const double simulated = double(ticks) / Servo::kRate;
  std::printf(
      "Speed: %lld ticks (%.1f s simulated) in %.2f s: %.0fx real time; %.2f us a tick (%.2f us CPU)\n",
      ticks, simulated, wall, simulated / wall, 1e6 * wall / double(ticks), 1e6 * cpu / double(ticks));
  return 0;
}
