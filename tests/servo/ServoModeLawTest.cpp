// Host-supplied laws in place of a mode's plug-in function (servo/ControlLaw.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "AllocationCounter.h"
#include "ServoHarness.h"
#include "servo/ControlLaw.h"

namespace {

// Gives every joint `torque`, or fails once `failAfter` calls have been made.
class FixedLaw final : public ControlLaw {
 public:
  explicit FixedLaw(float torque, int failAfter = -1) : m_torque(torque), m_failAfter(failAfter) {}
  bool tick(ServoState& state) override {
    ++calls;
    if (calls == m_failAfter) {
      state.tau[0] = std::numeric_limits<float>::quiet_NaN();  // half-written torques
      return false;
    }
    for (int i = 0; i < state.dof; ++i) state.tau[i] = m_torque;
    return true;
  }
  int calls = 0;

 private:
  float m_torque;
  int m_failAfter;
};

bool called(const RecordingLog& log, const char* name) {
  const auto names = log.names();
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

TEST(ServoModeLawTest, RunsInPlaceOfTheModesPluginFunctionUntilTakenBack) {
  RecordingLog log;
  ASSERT_TRUE(log.ok());
  ServoHarness h;
  ASSERT_TRUE(h.servo().servoInit());
  FixedLaw law(0.25f);
  h.servo().setModeLaw(kFloat, &law);
  log.clear();
  h.tick(3);
  EXPECT_EQ(law.calls, 3);
  EXPECT_FALSE(called(log, "floatControl"));
  EXPECT_TRUE(called(log, "PreprocessControl"));  // only the mode's function is replaced
  EXPECT_TRUE(called(log, "PostprocessControl"));
  EXPECT_FLOAT_EQ(h.state().tau[2], 0.25f);

  // A law for another mode is not called in float.
  h.servo().setModeLaw(kFloat, nullptr);
  h.servo().setModeLaw(10, &law);
  log.clear();
  h.tick(2);
  EXPECT_EQ(law.calls, 3);
  EXPECT_TRUE(called(log, "floatControl"));
  h.servo().setModeLaw(10, nullptr);
}

TEST(ServoModeLawTest, AFailingLawIsDroppedAndThePluginsFloatGivesThatTick) {
  RecordingLog log;
  ASSERT_TRUE(log.ok());
  ServoHarness h;
  ASSERT_TRUE(h.servo().servoInit());
  FixedLaw law(0.25f, /*failAfter=*/2);
  h.servo().setModeLaw(kFloat, &law);
  h.tick(1);
  log.clear();
  h.tick(1);  // the law fails here
  EXPECT_EQ(h.servo().stoppedLawCount(), 1);
  EXPECT_EQ(h.servo().modeLaw(kFloat), nullptr);
  EXPECT_TRUE(called(log, "floatControl"));
  EXPECT_TRUE(h.state().tau.isFinite());
  EXPECT_EQ(h.servo().refusedTorqueTicks(), 0);  // the half-written NaN never reached the arm
  h.tick(2);
  EXPECT_EQ(law.calls, 2);
}

TEST(ServoModeLawTest, TicksWithAHostLawAllocateNothing) {
  ServoHarness h;
  ASSERT_TRUE(h.servo().servoInit());
  FixedLaw law(0.1f);
  h.servo().setModeLaw(kFloat, &law);
  h.tick(5);
  if (!alloccount::counterIsHooked()) GTEST_SKIP() << "allocation counter not in use";
  alloccount::Scope scope;
  h.tick(300);
  EXPECT_EQ(alloccount::count(), 0);
}
