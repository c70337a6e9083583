// The 3D view's frame time in the main window, and the CPU the whole window
// program takes while the arm stands still.
//
// Needs an X display; for Mesa's software renderer run it as
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1200x24" build/bench/bench_view
// BM_WindowFrame: the main window at its default size (1300 × 880) and at
// 1920 × 1080; each iteration moves the arm and waits until the frame is on
// screen (frameSwapped), the path a redraw takes in the program. The median
// of the repetitions is the figure to quote; render_ms is the drawing alone,
// into an image off screen.
// BM_StillArmCpu: the real korvex of the run directory with its window (or
// --no-gui, for the servo's own share), left alone for ten seconds: CPU time
// over wall time, in percent of one core, for the whole process and for the
// threads that draw (the GUI thread and Mesa's); the median of three runs.
// The servo's share moves with the machine's load, the drawing's hardly.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "bench/BenchProgram.h"
#include "bench/ProcessCpu.h"
#include "gui/Gui.h"
#include "gui/RobotWidget.h"
#include "utility/MesgQueue.h"

namespace {
namespace fs = std::filesystem;

// The window against an idle console: nothing answers it, nothing but the
// benchmark moves the arm.
struct Window {
  Window() : agent(std::make_unique<UiAgent>()), servo(std::make_unique<ServoAgent>()) {
    console = std::make_unique<TextUI>(servo.get());
    gui = std::make_unique<Gui>(*console);
  }
  ~Window() {
    gui.reset();
    console.reset();
    servo.reset();
    agent.reset();
    MesgQueue::releaseAllCollections();
  }
  std::unique_ptr<UiAgent> agent;
  std::unique_ptr<ServoAgent> servo;
  std::unique_ptr<TextUI> console;
  std::unique_ptr<Gui> gui;
};

// Runs the event loop until `frames` more frames have been put on screen.
bool awaitFrames(int& swapped, int frames) {
  const int target = swapped + frames;
  QElapsedTimer clock;
  clock.start();
  while (swapped < target) {
    if (clock.elapsed() > 10000) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void BM_WindowFrame(benchmark::State& state) {
  Window window;
  window.gui->resize(int(state.range(0)), int(state.range(1)));
  window.gui->show();
  RobotWidget& view = *window.gui->robotWidget();
  int swapped = 0;
  QObject::connect(&view, &QOpenGLWindow::frameSwapped, [&] { ++swapped; });
  if (state.range(2)) {
    // The EMass ellipsoid about the wrist.
    PrVector emass(12);
    emass[0] = emass[4] = emass[8] = 1;
    emass[9] = 20;
    emass[10] = 30;
    emass[11] = 40;
    view.setEMassData(emass);
    view.toggleDisplayEmassOnEndEffector(0);
  }
  if (!awaitFrames(swapped, 1)) state.SkipWithError("the view never drew");
  PrVector q(6);
  float shoulder = -30;
  for (auto _ : state) {
    shoulder = -shoulder;
    q[1] = shoulder;
    view.setJointPositions(q);
    view.update();
    if (!awaitFrames(swapped, 1)) state.SkipWithError("a frame never came");
  }
  state.counters["view_w"] = view.width();
  state.counters["view_h"] = view.height();
  // The drawing alone, into an image: what a frame costs before it is shown.
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < 10; ++i) view.snapshot();
  state.counters["render_ms"] = double(clock.nsecsElapsed()) / 1e7;
}

BENCHMARK(BM_WindowFrame)
    ->ArgNames({"w", "h", "emass"})
    ->Args({1300, 880, 0})
    ->Args({1300, 880, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The process's CPU seconds in all, and those of the threads that draw: the
// GUI thread (the process's first) and Mesa's rendering threads.
struct CpuUse {
  double all = 0, drawing = 0;
};
CpuUse cpuUse(pid_t pid) {
  const fs::path proc = "/proc/" + std::to_string(pid);
  CpuUse use{cpuSeconds(proc / "stat"), 0};
  std::error_code error;
  for (const auto& task : fs::directory_iterator(proc / "task", error)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (task.path().filename() == std::to_string(pid) || name.rfind("llvmpipe", 0) == 0)
      use.drawing += cpuSeconds(task.path() / "stat");
  }
  return use;
}

void BM_StillArmCpu(benchmark::State& state) {
  const bool withWindow = state.range(0) != 0;
  const fs::path runDir = KORVEX_RUN_DIR;
  const fs::path scratch = fs::temp_directory_path() / ("bench-view-" + std::to_string(getpid()));
  makeScratchRunDir(runDir, scratch);
  for (auto _ : state) {
    BenchProgram program = startProgram(runDir, scratch, withWindow);
    if (program.pid < 0) {
      state.SkipWithError("the program could not be started");
      break;
    }
    const pid_t pid = program.pid;
    // Start-up and the first frames are not the still state.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const CpuUse use0 = cpuUse(pid);
    const auto wall0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const CpuUse use = cpuUse(pid);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    state.counters["cpu_percent"] = 100 * (use.all - use0.all) / wall;
    state.counters["drawing_percent"] = 100 * (use.drawing - use0.drawing) / wall;
    quitProgram(program);
  }
  fs::remove_all(scratch);
}

BENCHMARK(BM_StillArmCpu)
    ->ArgName("window")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "bench_view: no DISPLAY; run it under xvfb-run -a\n");
    return 0;
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
