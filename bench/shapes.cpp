// The shapes the view asks the servo for, on the six-joint arm at rest:
//
//   BM_ServoShape/<code>  one ellipsoid (4), acceleration-limit (5) or
//                         velocity-limit (6) request's work on the servo thread,
//                         which runs between two ticks of 2 ms
//   BM_MsiSphere          one MSI sphere, built on the MSI worker thread
//   BM_VelocityHull       the qhull triangulation of the 64 velocity-limit
//                         corners (8 distinct: the wrist joints do not move
//                         link 4's origin): the MSI's hull, and what the view
//                         does for a limit hull on every frame it draws
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "app/UiAgent.h"
#include "app/UiAgentLink.h"
#include "libpuma/PacingClock.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector3.h"
#include "servo/LimitShapes.h"
#include "servo/MsiSphere.h"
#include "servo/Servo.h"
#include "servo/ServoVisualisation.h"
#include "servo/Session.h"

namespace {

struct ArmAtRest {
  UiAgent uiAgent;
  UiAgentLink link{uiAgent};
  SteppingClock clock;
  std::unique_ptr<Servo> servo;
  ArmAtRest() {
    beginSession();
    servo = std::make_unique<Servo>(link, ControlPlugin(), &clock);
    servo->servoInit();
    servo->servoTick();
  }
  ServoVisualisation::Arm arm() {
    return {servo->state(), *servo->robotDriver(), servo->robotModel()->m_selection};
  }
  // The MSI's inputs as the servo hands them over.
  void msiInputs(PrMatrix& Jp, PrMatrix& Ainv, PrMatrix& R) {
    PrMatrix J36(3, 6), lu;
    servo->robotDriver()->getPointJacobian(4, PrVector3(0, 0, 0), J36);
    J36.multiply(servo->robotModel()->m_selection, Jp, true);
    servo->state().A.inverse(Ainv, lu);
    PrTransform link3;
    servo->robotDriver()->getLinkFrame(3, link3);
    link3.rotation.toRotationMatrix(R);
  }
};

void BM_ServoShape(benchmark::State& state) {
  ArmAtRest rest;
  ServoVisualisation visualisation;
  visualisation.reset(rest.servo->state().dof);
  ServoVisualisation::Shape shape;
  const ServoVisualisation::Arm arm = rest.arm();
  for (auto _ : state) {
    visualisation.compute(int(state.range(0)), 2, arm, shape);
    benchmark::DoNotOptimize(shape.values->dataPtr());
  }
}
BENCHMARK(BM_ServoShape)
    ->Arg(UI_EMASS)
    ->Arg(UI_ACC_LIMIT)
    ->Arg(UI_SFORCE_LIMIT)
    ->Unit(benchmark::kMicrosecond);

void BM_MsiSphere(benchmark::State& state) {
  ArmAtRest rest;
  PrMatrix Jp, Ainv, R(3, 3);
  rest.msiInputs(Jp, Ainv, R);
  PrVector sphere, points;
  unitSphere(sphere);
  const MsiInputs in{&Jp, &Ainv, &rest.servo->state().dqmax, &R, &sphere, false};
  for (auto _ : state) benchmark::DoNotOptimize(msiSphere(in, points));
}
BENCHMARK(BM_MsiSphere)->Unit(benchmark::kMicrosecond);

void BM_VelocityHull(benchmark::State& state) {
  ArmAtRest rest;
  PrMatrix Jp, Ainv, R(3, 3);
  rest.msiInputs(Jp, Ainv, R);
  std::vector<double> triangles;
  for (auto _ : state) benchmark::DoNotOptimize(velocityLimitHull(Jp, rest.servo->state().dqmax, triangles));
  state.counters["triangles"] = double(triangles.size() / 9);
}
BENCHMARK(BM_VelocityHull)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
