// Planned paths: the quintic time scaling, joint paths that respect every
// joint's limits and arrive together, and straight-line operational paths
// whose velocity integrates to the displacement.
#include <gtest/gtest.h>

#include <cmath>

#include "StateFixture.h"
#include "plugin/JointTrajectory.h"
#include "plugin/OperationalTrajectory.h"
#include "plugin/QuinticProfile.h"

namespace {

TEST(QuinticProfile, StartsAndEndsAtRestAndPeaksAsDocumented) {
  const double T = 2.0;
  EXPECT_EQ(quinticAt(0, T).s, 0);
  EXPECT_EQ(quinticAt(T, T).s, 1);
  EXPECT_NEAR(quinticAt(T, T).ds, 0, 1e-12);
  double peakSpeed = 0, peakAcc = 0, integral = 0;
  const int steps = 20000;
  for (int k = 0; k <= steps; ++k) {
    const QuinticSample q = quinticAt(T * k / steps, T);
    peakSpeed = std::fmax(peakSpeed, q.ds);
    peakAcc = std::fmax(peakAcc, std::fabs(q.dds));
    if (k > 0) integral += q.ds * T / steps;
  }
  EXPECT_NEAR(peakSpeed, kQuinticPeakSpeed / T, 1e-6);
  EXPECT_NEAR(peakAcc, kQuinticPeakAcceleration / (T * T), 1e-4);
  EXPECT_NEAR(integral, 1.0, 1e-3);
  EXPECT_EQ(quinticDuration(0, 1, 1), 0);
  EXPECT_NEAR(quinticDuration(-2, 1, 100), 1.875 * 2, 1e-12);                        // speed bound
  EXPECT_NEAR(quinticDuration(2, 100, 1), std::sqrt(5.773502691896258 * 2), 1e-12);  // acceleration bound
}

TEST(JointTrajectory, AllJointsArriveTogetherWithinTheirLimits) {
  const float start[3] = {0.1f, -0.5f, 1.0f}, goal[3] = {1.2f, -0.4f, 0.2f};
  const float dqmax[3] = {0.8f, 0.8f, 0.3f}, ddqmax[3] = {1.0f, 1.0f, 5.0f};
  JointTrajectory path;
  path.plan(3, start, goal, dqmax, ddqmax);
  const double T = path.duration();
  // Joint 3 (0.8 rad at 0.3 rad/s) is the slowest: 1.875 * 0.8 / 0.3 s.
  EXPECT_NEAR(T, 1.875 * 0.8 / 0.3, 1e-5);
  float q[3], dq[3], ddq[3];
  for (int k = 0; k <= 1000; ++k) {
    path.sample(T * k / 1000, q, dq, ddq);
    for (int i = 0; i < 3; ++i) {
      EXPECT_LE(std::fabs(dq[i]), dqmax[i] * 1.0001f);
      EXPECT_LE(std::fabs(ddq[i]), ddqmax[i] * 1.0001f);
      // Straight line in joint space: every joint at the same fraction.
      const float fraction = (q[i] - start[i]) / (goal[i] - start[i]);
      const float first = (q[0] - start[0]) / (goal[0] - start[0]);
      EXPECT_NEAR(fraction, first, 1e-5);
    }
  }
  path.sample(T + 1, q, dq, ddq);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(q[i], goal[i]);
    EXPECT_EQ(dq[i], 0);
  }
}

TEST(OperationalTrajectory, StraightLineAndOneAxisTurnWithinTheLimits) {
  StateFixture f;
  const TaskLayout layout = taskLayout(f.s);
  TaskGoal start, goal;
  start.frame = PrTransform(PrQuaternion(), PrVector3(0.5f, 0.0f, 0.3f));
  const double angle = 1.2, h = angle / 2;
  goal.frame =
      PrTransform(PrQuaternion(float(std::cos(h)), 0, float(std::sin(h) * 0.6), float(std::sin(h) * 0.8)),
                  PrVector3(0.2f, 0.4f, 0.1f));
  OperationalTrajectory path;
  const double vmax = 0.3, amax = 2.0, wmax = 0.5;
  path.plan(layout, start, goal, vmax, amax, wmax);
  const double T = path.duration();
  ASSERT_GT(T, 0);
  // The turn (1.2 rad at 0.5 rad/s) is slower than the 0.539 m move at 0.3 m/s.
  EXPECT_NEAR(T, 1.875 * 1.2 / 0.5, 1e-4);
  TaskReference ref;
  double position[3] = {0.5, 0.0, 0.3};
  const int steps = 4000;
  for (int k = 1; k <= steps; ++k) {
    path.sample(T * k / steps, ref);
    double v = 0, w = 0;
    for (int i = 0; i < 3; ++i) {
      v += ref.velocity[i] * ref.velocity[i];
      w += ref.velocity[3 + i] * ref.velocity[3 + i];
      position[i] += ref.velocity[i] * T / steps;
    }
    EXPECT_LE(std::sqrt(v), vmax * 1.0001);
    EXPECT_LE(std::sqrt(w), wmax * 1.0001);
    // On the segment: the offset from the start is parallel to the move.
    const double dx = ref.pose.frame.translation[0] - 0.5, dy = ref.pose.frame.translation[1] - 0.0;
    EXPECT_NEAR(dx * 0.4 - dy * (-0.3), 0.0, 1e-5);
  }
  // The velocity integrates to the displacement, and the end is the goal.
  EXPECT_NEAR(position[0], 0.2, 1e-3);
  EXPECT_NEAR(position[1], 0.4, 1e-3);
  EXPECT_NEAR(position[2], 0.1, 1e-3);
  double e[6];
  frameError(ref.pose.frame, goal.frame, e);
  for (double v : e) EXPECT_NEAR(v, 0.0, 1e-5);
  // Mid-way the orientation has turned half the angle about the goal's axis.
  path.sample(T / 2, ref);
  frameError(start.frame, ref.pose.frame, e);
  EXPECT_NEAR(e[4], -0.6 * angle / 2, 1e-4);
  EXPECT_NEAR(e[5], -0.8 * angle / 2, 1e-4);
}

}  // namespace
