// Real-time pacing of the simulated arm against an injected clock.
#include "DynamicsTestSupport.h"

namespace {

class Pacing : public ::testing::Test {
 protected:
  void SetUp() override {
    arm = dyntest::shippedPuma(true, &clock);
    ASSERT_TRUE(arm);
  }
  // Steps taken while the clock advances `ms` one millisecond per call.
  int stepsOver(int ms, float speed) {
    int steps = 0;
    for (int k = 0; k < ms; ++k) {
      clock.now += 1;
      steps += arm->step(speed);
    }
    return steps;
  }
  dyntest::ManualClock clock;
  std::unique_ptr<CSimPuma> arm;
};

TEST_F(Pacing, SimulationFollowsTheClockScaledBySpeed) {
  EXPECT_NEAR(stepsOver(1000, 1.0f), 500, 1);
  EXPECT_NEAR(stepsOver(1000, 2.0f), 1000, 1);
  EXPECT_NEAR(stepsOver(1000, 0.5f), 250, 1);
}

TEST_F(Pacing, NeverMoreThanOneStepAheadOfTheClock) {
  int steps = 0;
  for (int k = 0; k < 100; ++k) steps += arm->step(1.0f);  // the clock stands still
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(arm->skippedSteps(), 99);
}

TEST_F(Pacing, SpeedZeroStandsStill) {
  PrVector q0, q;
  arm->getJointPositions(q0);
  EXPECT_EQ(stepsOver(5000, 0.0f), 0);
  EXPECT_EQ(stepsOver(100, -3.0f), 0);
  arm->getJointPositions(q);
  EXPECT_TRUE(q == q0);
}

// After a long pause the simulation owes the clock at most one second, so it
// catches up about 500 steps, not the whole pause.
TEST_F(Pacing, CatchUpAfterAPauseIsLimitedToOneSecond) {
  stepsOver(10, 1.0f);
  clock.now += 5000;
  int steps = 0;
  while (arm->step(1.0f) == 1 && steps < 5000) ++steps;
  EXPECT_NEAR(steps, 500, 2);
  EXPECT_LE(arm->timeBalance(), arm->period() + 1e-6f);
}

// A servo sleeps until dueClockReading(): there, and never a tick earlier,
// step() must find the period due, for every speed and every history of
// early calls, or the servo would either spin awake or miss its tick.
TEST_F(Pacing, DueClockReadingIsExactlyWhenStepFindsThePeriodDue) {
  for (float speed : {1.0f, 2.0f, 0.5f, 0.3f, 3.7f}) {
    for (int tick = 0; tick < 200; ++tick) {
      // Call step() at uneven moments, sometimes too early, like a woken-up loop.
      clock.now += (tick * 7) % 3;
      if (arm->step(speed) != 0) continue;
      const std::int64_t due = arm->dueClockReading(speed);
      ASSERT_GT(due, clock.now) << "speed " << speed << ": a period not due has a later due reading";
      // A step one clock tick before the due reading is refused (and must not
      // disturb the due reading), a step at it is taken.
      clock.now = due - 1;
      ASSERT_EQ(arm->step(speed), 0) << "speed " << speed << ", tick " << tick;
      ASSERT_EQ(arm->dueClockReading(speed), due);
      clock.now = due;
      ASSERT_EQ(arm->step(speed), 1) << "speed " << speed << ", tick " << tick;
    }
  }
}

// A clock that skips periods: the steps that follow run back to back to make
// the time up, and only those count as made up.
TEST_F(Pacing, StepsThatMakeUpLostTimeAreCounted) {
  stepsOver(1000, 1.0f);
  EXPECT_EQ(arm->takeMadeUpSteps(), 0) << "on time";
  clock.now += 100;  // 50 periods lost
  int steps = 0;
  while (arm->step(1.0f) == 1 && steps < 1000) ++steps;
  EXPECT_NEAR(steps, 50, 1);
  EXPECT_NEAR(arm->takeMadeUpSteps(), 49, 1);
  EXPECT_EQ(arm->takeMadeUpSteps(), 0) << "taking the count starts it again";

  clock.now += 5000;  // beyond the one second the simulation may owe
  steps = 0;
  while (arm->step(1.0f) == 1 && steps < 5000) ++steps;
  EXPECT_NEAR(arm->takeMadeUpSteps(), 499, 2);
}

}  // namespace
