// The servo calls update and rateMatrices every tick: after the first call
// neither may touch the heap, for any robot type.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "ModelTestSupport.h"
#include "libpuma/RobotModelFactory.h"

namespace {

TEST(ModelAllocation, ServoTickAllocatesNothingAfterTheFirst) {
  // A volatile pointer keeps the compiler from eliding the pair.
  const long probe = heapAllocationsDuring([] {
    int* volatile p = new int(1);
    delete p;
  });
  ASSERT_EQ(probe, 1) << "the allocation counter is not hooked";

  modeltest::ScriptedDriver driver;
  std::mt19937 rng(61);
  for (int type = 0; type < kRobotTypeCount; ++type) {
    auto model = createRobotModel(type);
    PrVector q, dq, b, g, lock, x;
    PrMatrix J, dJ, M, Einv, E;
    int flags = 0;
    auto tick = [&] {
      model->update(driver, 0.17f, q, dq, J, dJ, M, b, g, flags, lock);
      model->rateMatrices(driver, q, x, Einv, E);
      model->normalizeConfig(x);
    };
    tick();
    const long count = heapAllocationsDuring([&] {
      for (int n = 0; n < 100; ++n) {
        double angles[6];
        modeltest::randomJoints(rng, angles);
        for (int i = 0; i < 6; ++i) {
          driver.q[i] = float(angles[i]);
          driver.dq[i] = float(angles[5 - i]);
        }
        driver.endEffector.rotation = modeltest::randomUnitQuaternion(rng);
        tick();
      }
    });
    EXPECT_EQ(count, 0) << "robot type " << type;
  }
}

}  // namespace
