// The goal the view draws for a servo tick, and when a new one is worth a frame.
#include "gui/ViewGoal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "libpuma/RobotModelFactory.h"
#include "protocol/ControlModeTable.h"
#include "servo/ScopeSample.h"
#include "servo/ServoState.h"

namespace {

// A tick of the 6-DOF quaternion model in `mode`, its goal at x = (0.5, 0.2, 0.4), no turn.
ScopeSample tickIn(int mode) {
  ScopeSample tick;
  tick.mode = mode;
  tick.dof = 6;
  tick.config = 7;
  const float qd[6] = {0.1f, -0.5f, 1.5f, 0, 0.7f, -0.2f};
  for (int i = 0; i < 6; ++i) tick.qd[i] = qd[i];
  const float xd[7] = {0.5f, 0.2f, 0.4f, 1, 0, 0, 0};
  for (int i = 0; i < 7; ++i) tick.xd[i] = xd[i];
  return tick;
}

VirtualLine lineAlongX(float y, float z) {
  VirtualLine line;
  line.enabled = 1;
  line.p1 = PrVector3(-0.5f, y, z);
  line.p2 = PrVector3(0.5f, y, z);
  line.closest = PrVector3(0, y, z);
  line.direction = PrVector3(1, 0, 0);
  return line;
}

}  // namespace

TEST(ViewGoal, EachModeKindHasItsGoalAndTheOthersNone) {
  const auto model = createRobotModel(3);
  const VirtualLine line = lineAlongX(0.3f, 0.6f);

  for (int mode : {kNjmove, kJgoto, kJtrack}) {
    const ViewGoal goal = goalOfTick(tickIn(mode), *model, line);
    ASSERT_EQ(goal.kind, ViewGoal::kJoints) << mode;
    ASSERT_EQ(goal.qd.size(), 6);
    EXPECT_NEAR(goal.qd[2], 1.5f * 180 / 3.14159265f, 1e-3);  // shown in degrees
  }
  for (int mode : {kXtrack, kGoto, kTrack, kPfmove, kProj1}) {
    const ViewGoal goal = goalOfTick(tickIn(mode), *model, line);
    ASSERT_EQ(goal.kind, ViewGoal::kFrame) << mode;
    EXPECT_NEAR(goal.frame.translation[0], 0.5f, 1e-5);
    EXPECT_NEAR(goal.frame.translation[2], 0.4f, 1e-5);
  }
  for (int mode : {kNoControl, kFloat, kJhold, kHold, kOpen})
    EXPECT_EQ(goalOfTick(tickIn(mode), *model, line).kind, ViewGoal::kNone) << mode;
}

TEST(ViewGoal, TheLineModesGoalStandsOnTheLineAtTheFootOfThePerpendicular) {
  const auto model = createRobotModel(3);
  const ViewGoal goal = goalOfTick(tickIn(kLine), *model, lineAlongX(0.3f, 0.6f));
  ASSERT_EQ(goal.kind, ViewGoal::kLineFoot);
  EXPECT_NEAR(goal.foot[0], 0.5f, 1e-5);
  EXPECT_NEAR(goal.foot[1], 0.3f, 1e-5);
  EXPECT_NEAR(goal.foot[2], 0.6f, 1e-5);
  EXPECT_NEAR(goal.frame.translation[1], 0.2f, 1e-5);  // the goal itself stays
}

TEST(ViewGoal, ATickOfAnotherRobotTypeOrWithAnUnusableGoalDrawsNothing) {
  const auto threeJoints = createRobotModel(1);
  EXPECT_EQ(goalOfTick(tickIn(kJgoto), *threeJoints, VirtualLine()).kind, ViewGoal::kNone);
  const auto model = createRobotModel(3);
  ScopeSample broken = tickIn(kGoto);
  broken.xd[1] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(goalOfTick(broken, *model, VirtualLine()).kind, ViewGoal::kNone);
}

TEST(ViewGoal, OnlyAVisibleMoveOfTheGoalCountsAsAChange) {
  const auto model = createRobotModel(3);
  const ViewGoal joints = goalOfTick(tickIn(kJgoto), *model, VirtualLine());
  ScopeSample crept = tickIn(kJgoto);
  crept.qd[0] += 1e-5f;  // well under a hundredth of a degree
  EXPECT_TRUE(joints.sameAs(goalOfTick(crept, *model, VirtualLine())));
  crept.qd[0] += 0.01f;
  EXPECT_FALSE(joints.sameAs(goalOfTick(crept, *model, VirtualLine())));

  const ViewGoal frame = goalOfTick(tickIn(kGoto), *model, VirtualLine());
  EXPECT_FALSE(frame.sameAs(joints));
  ScopeSample moved = tickIn(kGoto);
  moved.xd[2] += 0.001f;
  EXPECT_FALSE(frame.sameAs(goalOfTick(moved, *model, VirtualLine())));
  ScopeSample turned = tickIn(kGoto);
  turned.xd[3] = std::cos(0.01f);  // a turn of about a degree about z
  turned.xd[6] = std::sin(0.01f);
  EXPECT_FALSE(frame.sameAs(goalOfTick(turned, *model, VirtualLine())));
}
