// One servo tick's work, without the wait for the next tick.
//
//   BM_ServoTick            updateState, plug-in calls, torque limiting and output
//   BM_ServoTickAndArmStep  the same plus the simulated arm's integration step
//   BM_HeadlessGotoTick     the whole headless tick of korvex-scenarios on the
//                           six-joint arm in goto towards a goal 15 cm away, with
//                           gathering on: request poll, servo tick (model update,
//                           goto law, gather row) and arm step
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
#include "protocol/ControlModeRequest.h"
#include "servo/Session.h"
#include "utility/Angles.h"

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

void BM_HeadlessGotoTick(benchmark::State& state) {
  ServoBench bench(Servo::kInitialRobotType);  // the six-joint quaternion model
  CMsg gather;
  gather.setType(UI_START_GATHER);
  gather.writeString("bench.gather");
  bench.servoAgent.send(gather);
  bench.servo->handleUiMessage();
  // From the scenarios' ready pose (deg) towards a goal 15 cm away.
  const float ready[6] = {0, -60, 160, 0, 60, 0};
  PrVector q(6), dq(6);
  for (int i = 0; i < 6; ++i) q[i] = ready[i] * float(kPi / 180);
  auto start = [&] {
    bench.servo->robotDriver()->setState(q, dq);
    bench.servo->updateState();
  };
  start();
  const PrTransform& T = bench.servo->state().T;
  // goto: x, y, z and the quaternion of the goal frame, as the console sends them.
  const float goal[7] = {
      T.translation[0] + 0.1f, T.translation[1] - 0.1f, T.translation[2] + 0.05f, T.rotation.w,
      T.rotation.v[0],         T.rotation.v[1],         T.rotation.v[2]};
  CMsg move;
  writeControlModeRequest(move, kGoto, goal, 7);
  bench.servoAgent.send(move);
  bench.drain();
  long long ticks = 0;
  for (auto _ : state) {
    bench.servo->handleUiMessage();
    bench.servo->servoTick();
    bench.servo->waitForTick();
    if ((++ticks & 255) == 0) {
      state.PauseTiming();
      bench.drain();
      // The arm arrives within a few seconds: start it off again, so that
      // the law keeps working on a moving arm.
      if ((ticks & 2047) == 0) {
        start();
        bench.servoAgent.send(move);
      }
      state.ResumeTiming();
    }
  }
  state.SetLabel(bench.servo->plugin().loaded() ? "control.dll" : "no plug-in");
  bench.drain();
}
BENCHMARK(BM_HeadlessGotoTick)->Unit(benchmark::kMicrosecond);

void BM_ReloadPlugin(benchmark::State& state) {
  ServoBench bench(Servo::kInitialRobotType);
  const float joints[6] = {10, -50, 150, 10, 50, 10};
  CMsg goal;
  writeControlModeRequest(goal, kJgoto, joints, 6);
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
