// What the scope costs: the window program's CPU with the scope open and
// closed, and the servo's tick timing while a shown scope drains and draws.
//
// Needs an X display and xdotool; for Mesa's software renderer run it as
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1200x24" build/bench/bench_scope
// BM_ScopeWindowCpu: the real korvex of the run directory with its window,
// the scope opened (View > Scope, Ctrl+Shift+S) or not, the arm held still
// (the scope still scrolls), measured for ten seconds after five: CPU time
// over wall time in percent of one core, the whole process and its GUI
// thread; the median of three runs.
// BM_ScopeServoTicks: the real servo loop (control.dll of the run directory)
// publishing into the scope's ring, and a shown scope draining and drawing it
// on this thread, for ten seconds: tick periods (ms) and the ticks that came
// more than a period late.
// Before Qt, whose "slots" keyword would clash with a member of the plug-in host.
#include "servo/Servo.h"

#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/ServoAgent.h"
#include "app/ServoThread.h"
#include "app/UiAgent.h"
#include "bench/BenchProgram.h"
#include "bench/ProcessCpu.h"
#include "gui/ScopeDock.h"
#include "servo/Session.h"
#include "utility/MesgQueue.h"

namespace fs = std::filesystem;

namespace {

std::string shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  return out;
}

void BM_ScopeWindowCpu(benchmark::State& state) {
  const bool scope = state.range(0) != 0;
  const fs::path runDir = KORVEX_RUN_DIR;
  const fs::path scratch = fs::temp_directory_path() / ("bench-scope-" + std::to_string(getpid()));
  for (auto _ : state) {
    makeScratchRunDir(runDir, scratch);  // no "config": the scope starts hidden
    BenchProgram program = startProgram(runDir, scratch, /*window=*/true);
    if (program.pid < 0) {
      state.SkipWithError("the program could not be started");
      break;
    }
    const pid_t pid = program.pid;
    std::string window =
        shell("timeout 30 xdotool search --sync --onlyvisible --name '^KORVEX Simulator$' | head -1");
    window.erase(std::remove(window.begin(), window.end(), '\n'), window.end());
    if (scope) shell("xdotool windowfocus --sync " + window + " key ctrl+shift+s");
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const fs::path proc = "/proc/" + std::to_string(pid);
    const double all0 = cpuSeconds(proc / "stat"),
                 gui0 = cpuSeconds(proc / "task" / std::to_string(pid) / "stat");
    const auto wall0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double all = cpuSeconds(proc / "stat"),
                 gui = cpuSeconds(proc / "task" / std::to_string(pid) / "stat");
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    state.counters["cpu_percent"] = 100 * (all - all0) / wall;
    state.counters["gui_thread_percent"] = 100 * (gui - gui0) / wall;
    quitProgram(program);
  }
  fs::remove_all(scratch);
}

BENCHMARK(BM_ScopeWindowCpu)
    ->ArgName("scope")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kSecond);

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5))];
}

void BM_ScopeServoTicks(benchmark::State& state) {
  const bool shown = state.range(0) != 0;
  int argc = 1;
  char name[] = "bench_scope";
  char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
  const fs::path runDir = KORVEX_RUN_DIR;
  const fs::path here = fs::current_path();
  fs::current_path(runDir);  // control.dll
  for (auto _ : state) {
    constexpr int kSeconds = 10;
    const int capacity = kSeconds * 500 + 2000;
    std::vector<int64_t> tickTimes(size_t(capacity), 0);
    auto ring = std::make_unique<ScopeRing>();
    QMainWindow window;
    window.setCentralWidget(new QLabel("arm"));
    auto* dock = new ScopeDock(&window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->attach(ring.get());
    window.resize(1300, 500);
    if (shown) window.show();

    auto uiAgent = std::make_unique<UiAgent>();
    auto servoAgent = std::make_unique<ServoAgent>();
    beginSession();
    int64_t ticks = 0;
    std::thread servoThread([&] {
      servoLoop(
          *uiAgent,
          [&](Servo& servo) {
            servo.recordTickTimes(tickTimes.data(), capacity);
            servo.publishScopeSamples(ring.get());
          },
          [&](Servo& servo) { ticks = servo.recordedTickCount(); });
    });
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kSeconds * 1000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      while (servoAgent->hasMessage()) servoAgent->read();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    endSession();
    servoThread.join();
    while (servoAgent->hasMessage()) servoAgent->read();
    servoAgent.reset();
    uiAgent.reset();
    MesgQueue::releaseAllCollections();

    std::vector<double> periods;
    int late = 0;
    for (int64_t i = 501; i < ticks && i < capacity; ++i) {
      const double period = double(tickTimes[size_t(i)] - tickTimes[size_t(i - 1)]) * 1e-6;
      periods.push_back(period);
      late += period > 4.0;
    }
    state.counters["period_median_ms"] = percentile(periods, 0.5);
    state.counters["period_p99_ms"] = percentile(periods, 0.99);
    state.counters["period_max_ms"] = percentile(periods, 1.0);
    state.counters["late_ticks"] = late;
    state.counters["scope_samples"] = double(dock->history().size());
    state.counters["scope_lost"] = double(dock->lostSamples());
  }
  fs::current_path(here);
}

BENCHMARK(BM_ScopeServoTicks)->ArgName("shown")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
