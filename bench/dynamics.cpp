// Costs of the simulated arm's dynamics for the six-joint PUMA, per call.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "libpuma/CSimPuma.h"
#include "libpuma/PacingClock.h"

namespace {

// A moving, loaded arm with friction on: every branch of the passes is live.
std::unique_ptr<CSimPuma> movingPuma(const PacingClock* clock = nullptr) {
  auto arm = CSimPuma::create(500.0f, CSimPuma::kDefaultDescription, clock);
  if (!arm) return arm;
  PrVector q(6), dq(6);
  const float qs[6] = {0.2f, -0.6f, 0.9f, 0.4f, 0.7f, -0.3f};
  const float vs[6] = {0.5f, -0.4f, 0.3f, 0.8f, -0.6f, 1.0f};
  q.setValues(qs, 6);
  dq.setValues(vs, 6);
  arm->setState(q, dq);
  return arm;
}

void BM_ForwardDynamics(benchmark::State& state) {
  auto arm = movingPuma();
  if (!arm) return state.SkipWithError("puma560.prm not found (run from build/run)");
  PrRobot& robot = arm->robot();
  for (int i = 0; i < 6; ++i) robot.torques()[i] = 5.0f;
  for (auto _ : state) {
    robot.forwardDynamics();
    benchmark::DoNotOptimize(robot.accelerations()[5]);
  }
}
BENCHMARK(BM_ForwardDynamics);

void BM_InverseDynamics(benchmark::State& state) {
  auto arm = movingPuma();
  if (!arm) return state.SkipWithError("puma560.prm not found (run from build/run)");
  PrRobot& robot = arm->robot();
  for (int i = 0; i < 6; ++i) robot.accelerations()[i] = 1.0f;
  for (auto _ : state) {
    robot.inverseDynamics();
    benchmark::DoNotOptimize(robot.torques()[0]);
  }
}
BENCHMARK(BM_InverseDynamics);

void BM_ComputeMassMatrix(benchmark::State& state) {
  auto arm = movingPuma();
  if (!arm) return state.SkipWithError("puma560.prm not found (run from build/run)");
  PrMatrix M(6, 6);
  for (auto _ : state) {
    arm->computeMassMatrix(M);
    benchmark::DoNotOptimize(M.dataPtr()[0]);
  }
}
BENCHMARK(BM_ComputeMassMatrix);

void BM_ComputeGravity(benchmark::State& state) {
  auto arm = movingPuma();
  if (!arm) return state.SkipWithError("puma560.prm not found (run from build/run)");
  PrVector g(6);
  for (auto _ : state) {
    arm->computeGravity(g);
    benchmark::DoNotOptimize(g.dataPtr()[1]);
  }
}
BENCHMARK(BM_ComputeGravity);

// One servo step: spring torques, the integrator (two forward dynamics) and
// kinematics. The clock always allows the step, so no pacing wait is measured.
void BM_SimPumaStep(benchmark::State& state) {
  SteppingClock clock;
  auto arm = movingPuma(&clock);
  if (!arm) return state.SkipWithError("puma560.prm not found (run from build/run)");
  PrVector tau(6);
  // The arm swings under gravity; the cost does not depend on where it is.
  for (auto _ : state) {
    arm->setTorques(tau);
    benchmark::DoNotOptimize(arm->step(1.0f));
  }
}
BENCHMARK(BM_SimPumaStep);

}  // namespace

BENCHMARK_MAIN();
