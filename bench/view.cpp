// Frame time of the 3D view: one paint of the arm into the widget's frame
// buffer, read back (grabFramebuffer). Needs an X display; run under
// `xvfb-run -a` with LIBGL_ALWAYS_SOFTWARE=1 for the software renderer.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "gui/RobotWidget.h"

namespace {

void frame(benchmark::State& state, int option) {
  RobotWidget view;
  view.resize(int(state.range(0)), int(state.range(1)));
  view.show();
  view.switchRobotType(3);
  PrVector q(6);
  q[1] = -30;
  q[2] = 40;
  view.setJointPositions(q);
  Obstacle sphere;
  sphere.id = 1;
  sphere.center = PrVector3(0.4f, -0.5f, 0.3f);
  sphere.radius = 0.1f;
  view.setSphere(sphere);
  if (option == 1) {
    // The EMass ellipsoid on, as the window shows it by default.
    PrVector emass(12);
    emass[0] = emass[4] = emass[8] = 1;
    emass[9] = 20;
    emass[10] = 30;
    emass[11] = 40;
    view.setEMassData(emass);
    view.toggleDisplayEmassOnEndEffector(0);
  }
  view.grabFramebuffer();  // context, display lists
  for (auto _ : state) benchmark::DoNotOptimize(view.grabFramebuffer());
}

void BM_ViewFrame(benchmark::State& state) { frame(state, 0); }
void BM_ViewFrameWithEMass(benchmark::State& state) { frame(state, 1); }

BENCHMARK(BM_ViewFrame)->Args({400, 400})->Args({640, 480})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewFrameWithEMass)->Args({640, 480})->Unit(benchmark::kMillisecond);

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
