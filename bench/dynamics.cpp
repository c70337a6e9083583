// Costs of the simulated arm's dynamics for the six-joint PUMA, per call.
//
// Every call starts from the next of 64 fixed random states (positions within
// ±2.5 rad, rates within ±2 rad/s, torques and accelerations of tens of units),
// written into the engine's state as a caller would, so no result computed for
// one call can be reused by the next. Friction is as the description file in
// the working directory has it. Run from build/run (puma560.prm).
//
//   BM_UpdateKinematics    frames of every link
//   BM_ForwardDynamics     articulated-body algorithm, frames included
//   BM_InverseDynamics     recursive Newton–Euler, frames included
//   BM_ComputeMassMatrix   composite rigid bodies, frames included
//   BM_ComputeGravity      holding torques, frames included
//   BM_SimPumaStep         one servo step of the simulated arm (CSimPuma::step:
//                          one integrator step, one forward dynamics)
#include <benchmark/benchmark.h>

#include <random>

#include "libpuma/CSimPuma.h"
#include "libpuma/PacingClock.h"

namespace {

constexpr int kStates = 64;

struct States {
  float q[kStates][6], dq[kStates][6], u[kStates][6];
  States() {
    std::mt19937 rng(22);
    std::uniform_real_distribution<float> angle(-2.5f, 2.5f), rate(-2.0f, 2.0f), load(-20.0f, 20.0f);
    for (int s = 0; s < kStates; ++s)
      for (int i = 0; i < 6; ++i) {
        q[s][i] = angle(rng);
        dq[s][i] = rate(rng);
        u[s][i] = load(rng);
      }
  }
  // Writes state k into the robot's state (positions, velocities) and `extra` (torques or accelerations).
  void load(int k, PrRobot& robot, float* extra) const {
    for (int i = 0; i < 6; ++i) {
      robot.positions()[i] = q[k][i];
      robot.velocities()[i] = dq[k][i];
      if (extra != nullptr) extra[i] = u[k][i];
    }
  }
};

const States& states() {
  static const States s;
  return s;
}

std::unique_ptr<CSimPuma> arm(const PacingClock* clock = nullptr) {
  return CSimPuma::create(500.0f, CSimPuma::kDefaultDescription, clock);
}

#define REQUIRE_ARM(a) \
  if (!(a)) return state.SkipWithError("puma560.prm not found (run from build/run)")

void BM_UpdateKinematics(benchmark::State& state) {
  auto a = arm();
  REQUIRE_ARM(a);
  PrRobot& robot = a->robot();
  int k = 0;
  for (auto _ : state) {
    states().load(k, robot, nullptr);
    k = (k + 1) % kStates;
    robot.updateKinematics();
    benchmark::DoNotOptimize(robot.endEffector()->globalFrame().translation[0]);
  }
}
BENCHMARK(BM_UpdateKinematics);

void BM_ForwardDynamics(benchmark::State& state) {
  auto a = arm();
  REQUIRE_ARM(a);
  PrRobot& robot = a->robot();
  int k = 0;
  for (auto _ : state) {
    states().load(k, robot, robot.torques());
    k = (k + 1) % kStates;
    robot.forwardDynamics();
    benchmark::DoNotOptimize(robot.accelerations()[5]);
  }
}
BENCHMARK(BM_ForwardDynamics);

void BM_InverseDynamics(benchmark::State& state) {
  auto a = arm();
  REQUIRE_ARM(a);
  PrRobot& robot = a->robot();
  int k = 0;
  for (auto _ : state) {
    states().load(k, robot, robot.accelerations());
    k = (k + 1) % kStates;
    robot.inverseDynamics();
    benchmark::DoNotOptimize(robot.torques()[0]);
  }
}
BENCHMARK(BM_InverseDynamics);

void BM_ComputeMassMatrix(benchmark::State& state) {
  auto a = arm();
  REQUIRE_ARM(a);
  PrMatrix M(6, 6);
  int k = 0;
  for (auto _ : state) {
    states().load(k, a->robot(), nullptr);
    k = (k + 1) % kStates;
    a->computeMassMatrix(M);
    benchmark::DoNotOptimize(M.dataPtr()[0]);
  }
}
BENCHMARK(BM_ComputeMassMatrix);

void BM_ComputeGravity(benchmark::State& state) {
  auto a = arm();
  REQUIRE_ARM(a);
  PrVector g(6);
  int k = 0;
  for (auto _ : state) {
    states().load(k, a->robot(), nullptr);
    k = (k + 1) % kStates;
    a->computeGravity(g);
    benchmark::DoNotOptimize(g.dataPtr()[1]);
  }
}
BENCHMARK(BM_ComputeGravity);

// The clock always allows the step, so no pacing wait is measured.
void BM_SimPumaStep(benchmark::State& state) {
  SteppingClock clock;
  auto a = arm(&clock);
  REQUIRE_ARM(a);
  PrVector tau(6);
  int k = 0;
  for (auto _ : state) {
    states().load(k, a->robot(), tau.dataPtr());
    k = (k + 1) % kStates;
    a->setTorques(tau);
    benchmark::DoNotOptimize(a->step(1.0f));
  }
}
BENCHMARK(BM_SimPumaStep);

}  // namespace

BENCHMARK_MAIN();
