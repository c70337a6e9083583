// One servo tick's work, without the wait for the next tick.
//
//   BM_ServoTick            updateState, plug-in calls, torque limiting and output
//   BM_ServoTickAndArmStep  the same plus the simulated arm's integration step
//   BM_ReloadPlugin         the reload request: control.dll copied, loaded and
//                           started in jgoto, the time the servo stalls between two ticks
// Each runs with control.dll from the working directory when it loads (float
// mode, the start-up mode) and reports which in its label. Run from build/run.
#include "servo/Servo.h"

#include <benchmark/benchmark.h>

#include <memory>

#include "app/ServoAgent.h"
#include "app/UiAgent.h"
#include "app/UiAgentLink.h"
#include "libpuma/PacingClock.h"
#include "servo/Session.h"

namespace {

struct ServoBench {
  UiAgent uiAgent;
  ServoAgent servoAgent;
  UiAgentLink link{uiAgent};
  SteppingClock clock;
  std::unique_ptr<Servo> servo;

  explicit ServoBench(int robotType) {
    beginSession();
    servo = std::make_unique<Servo>(link, loadControlPlugin(), &clock);
    servo->servoInit();
    if (robotType != Servo::kInitialRobotType) servo->setRobotType(robotType);
    for (int i = 0; i < 50; ++i) {
      servo->servoTick();
      servo->waitForTick();
    }
    drain();
  }
  void drain() {
    while (servoAgent.hasMessage()) servoAgent.read();
  }
};

void BM_ServoTick(benchmark::State& state) {
  ServoBench bench(int(state.range(0)));
  for (auto _ : state) bench.servo->servoTick();
  state.SetLabel(bench.servo->plugin().loaded() ? "control.dll" : "no plug-in");
  bench.drain();
}
BENCHMARK(BM_ServoTick)->Arg(3)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_ServoTickAndArmStep(benchmark::State& state) {
  ServoBench bench(int(state.range(0)));
  for (auto _ : state) {
    bench.servo->servoTick();
    bench.servo->waitForTick();
  }
  state.SetLabel(bench.servo->plugin().loaded() ? "control.dll" : "no plug-in");
  bench.drain();
}
BENCHMARK(BM_ServoTickAndArmStep)->Arg(3)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_ReloadPlugin(benchmark::State& state) {
  ServoBench bench(Servo::kInitialRobotType);
  CMsg goal;
  goal.setType(UI_CONTROL_MODE);
  goal.writeInt(10);  // jgoto
  const float joints[6] = {10, -50, 150, 10, 50, 10};
  goal.writeFloats(joints, 6);
  bench.servoAgent.send(goal);
  bench.servo->handleUiMessage();
  CMsg reload;
  reload.setType(UI_RELOAD);
  for (auto _ : state) {
    bench.servoAgent.send(reload);
    bench.servo->handleUiMessage();
    state.PauseTiming();
    bench.drain();
    state.ResumeTiming();
  }
  state.SetLabel(bench.servo->plugin().loaded() ? "control.dll" : "no plug-in");
}
BENCHMARK(BM_ReloadPlugin)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
