// Cost of the robot model's part of a servo tick: CPumaModelQ::update followed
// by rateMatrices (target: under 2 µs per call). Run from the run directory,
// which holds puma560.prm.
#include <benchmark/benchmark.h>

#include <random>

#include "libpuma/CPuma4dofModel.h"
#include "libpuma/CPumaModelQ.h"
#include "libpuma/CSimPuma.h"
#include "libpuma/PumaDynamics.h"
#include "libpuma/PumaKinematics.h"
#include "libpuma/ScriptedRobotDriver.h"
#include "matrix/PrTransform.h"

namespace {

// A few hundred random states, cycled so the branch predictor sees variety.
struct States {
  std::vector<PrVector> q, dq;
  States() {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> angle(-2.5, 2.5), rate(-1.5, 1.5);
    for (int n = 0; n < 256; ++n) {
      PrVector a(6), b(6);
      for (int i = 0; i < 6; ++i) {
        a[i] = float(angle(rng));
        b[i] = float(rate(rng));
      }
      q.push_back(a);
      dq.push_back(b);
    }
  }
};

template <typename Model>
void runTicks(benchmark::State& state, IRobotSimDriver& driver, const States& states) {
  Model model;
  PrVector q, dq, b, g, lock, x;
  PrMatrix J, dJ, M, Einv, E;
  int flags = 0;
  size_t n = 0;
  for (auto _ : state) {
    driver.setState(states.q[n & 255], states.dq[n & 255]);
    ++n;
    model.update(driver, 0.1745f, q, dq, J, dJ, M, b, g, flags, lock);
    model.rateMatrices(driver, q, x, Einv, E);
    benchmark::DoNotOptimize(b.dataPtr());
    benchmark::DoNotOptimize(Einv.dataPtr());
  }
}

// What the servo pays: the mirror arm's setState, gravity and frame included.
void BM_PumaModelQ_UpdateAndRates_SimulatedArm(benchmark::State& state) {
  auto arm = CSimPuma::create(500.0f);
  if (!arm) {
    state.SkipWithError("puma560.prm not found; run from the run directory");
    return;
  }
  runTicks<CPumaModelQ>(state, *arm, States());
}
BENCHMARK(BM_PumaModelQ_UpdateAndRates_SimulatedArm);

// The closed-form model alone (the driver hands out stored values).
void BM_PumaModelQ_UpdateAndRates_ModelOnly(benchmark::State& state) {
  ScriptedRobotDriver driver;
  runTicks<CPumaModelQ>(state, driver, States());
}
BENCHMARK(BM_PumaModelQ_UpdateAndRates_ModelOnly);

void BM_Puma4dofModel_UpdateAndRates_ModelOnly(benchmark::State& state) {
  ScriptedRobotDriver driver;
  const States states;
  CPuma4dofModel model;
  PrVector q, dq, b, g, lock, x;
  PrMatrix J, dJ, M, Einv, E;
  int flags = 0;
  size_t n = 0;
  for (auto _ : state) {
    driver.setState(states.q[n & 255], states.dq[n & 255]);
    ++n;
    model.update(driver, 0.1745f, q, dq, J, dJ, M, b, g, flags, lock);
    model.rateMatrices(driver, q, x, Einv, E);
    benchmark::DoNotOptimize(lock.dataPtr());
  }
}
BENCHMARK(BM_Puma4dofModel_UpdateAndRates_ModelOnly);

void BM_JacobianAndRate(benchmark::State& state) {
  const States states;
  PrMatrix J, dJ;
  size_t n = 0;
  for (auto _ : state) {
    puma::jacobianAndRate(states.q[n & 255], states.dq[n & 255], J, dJ);
    ++n;
    benchmark::DoNotOptimize(dJ.dataPtr());
  }
}
BENCHMARK(BM_JacobianAndRate);

void BM_MassMatrixAndCoriolis(benchmark::State& state) {
  const States states;
  PrMatrix M;
  PrVector b;
  size_t n = 0;
  for (auto _ : state) {
    puma::massMatrixAndCoriolis(states.q[n & 255], states.dq[n & 255], M, b);
    ++n;
    benchmark::DoNotOptimize(b.dataPtr());
  }
}
BENCHMARK(BM_MassMatrixAndCoriolis);

}  // namespace

BENCHMARK_MAIN();
