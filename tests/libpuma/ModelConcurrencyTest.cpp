// The servo thread and the 3D view each own a model and may update them at
// the same time: models share no mutable state. (Meaningful under
// ThreadSanitizer; in a plain build it checks that the results do not mix.)
#include <gtest/gtest.h>

#include <thread>

#include "ModelTestSupport.h"
#include "libpuma/RobotModelFactory.h"

namespace {

// Runs `ticks` updates of a fresh model of `type` at a fixed state and
// returns the last mass matrix and lock torque.
void runModel(int type, const double angles[6], int ticks, PrMatrix& M, PrVector& lock) {
  modeltest::ScriptedDriver driver;
  for (int i = 0; i < 6; ++i) {
    driver.q[i] = float(angles[i]);
    driver.dq[i] = float(0.5 * angles[i]);
  }
  auto model = createRobotModel(type);
  PrVector q, dq, b, g, x;
  PrMatrix J, dJ, Einv, E;
  int flags = 0;
  for (int n = 0; n < ticks; ++n) {
    model->update(driver, 0.17f, q, dq, J, dJ, M, b, g, flags, lock);
    model->rateMatrices(driver, q, x, Einv, E);
  }
}

TEST(ModelConcurrency, ModelsOnTwoThreadsDoNotDisturbEachOther) {
  const double a[6] = {0.1, -0.5, 0.8, 0.4, -0.9, 0.3};
  const double b[6] = {-1.2, 0.6, 1.9, -0.7, 1.1, -0.2};
  for (int type = 0; type < kRobotTypeCount; ++type) {
    PrMatrix Ma, Mb, Ma1, Mb1;
    PrVector la, lb, la1, lb1;
    runModel(type, a, 1, Ma1, la1);
    runModel(type, b, 1, Mb1, lb1);
    std::thread servo([&] { runModel(type, a, 2000, Ma, la); });
    std::thread view([&] { runModel(type, b, 2000, Mb, lb); });
    servo.join();
    view.join();
    EXPECT_TRUE(Ma == Ma1) << "type " << type;
    EXPECT_TRUE(Mb == Mb1) << "type " << type;
    EXPECT_TRUE(la == la1) << "type " << type;
    EXPECT_TRUE(lb == lb1) << "type " << type;
  }
}

}  // namespace
