// Closed-form inverse kinematics checked against the forward kinematics and
// against the joint-axis formulas the robot model uses.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "plugin/PumaInverseKinematics.h"
#include "utility/Angles.h"

namespace {

const double kMin[6] = {-160 * kPi / 180, -223 * kPi / 180, -40 * kPi / 180,
                        -130 * kPi / 180, -100 * kPi / 180, -266 * kPi / 180};
const double kMax[6] = {160 * kPi / 180, 43 * kPi / 180,  240 * kPi / 180,
                        180 * kPi / 180, 100 * kPi / 180, 266 * kPi / 180};
const double kWide[6] = {-10, -10, -10, -10, -10, -10};
const double kWideMax[6] = {10, 10, 10, 10, 10, 10};

void expectSamePose(const ik::Pose& a, const ik::Pose& b) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(a.p[i], b.p[i], 1e-9);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(a.R[i][j], b.R[i][j], 1e-9);
}

// Height of the elbow over the shoulder-wrist line, facing along the reach.
double elbowLift(const double q[6]) {
  double w[3];
  ik::wristCentre(q, w);
  const double reach = std::cos(q[0]) * w[0] + std::sin(q[0]) * w[1];
  const double ex = 0.4115 * std::cos(q[1]), ez = -0.4115 * std::sin(q[1]);
  const double facing = reach >= 0 ? 1.0 : -1.0;
  return facing * (reach * ez - w[2] * ex) / std::hypot(reach, w[2]);
}

TEST(PumaForwardKinematics, MatchesTheModelsOperationalPointAndAxes) {
  // Operational point and the sixth axis from the model's closed form.
  const double q[6] = {0.3, -0.7, 0.4, 1.1, -0.6, 0.2};
  const double c1 = std::cos(q[0]), s1 = std::sin(q[0]), c2 = std::cos(q[1]), s2 = std::sin(q[1]);
  const double c4 = std::cos(q[3]), s4 = std::sin(q[3]), c5 = std::cos(q[4]), s5 = std::sin(q[4]);
  const double c23 = std::cos(q[1] + q[2]), s23 = std::sin(q[1] + q[2]);
  const double L = 0.16;
  const double R = 0.4115 * c2 + (0.4331 + L * c5) * s23 + (-0.0203 + L * c4 * s5) * c23;
  const double D = 0.1501 - 0.0934 + L * s4 * s5;
  const ik::Pose pose = ik::forward(q);
  EXPECT_NEAR(pose.p[0], c1 * R - s1 * D, 1e-12);
  EXPECT_NEAR(pose.p[1], s1 * R + c1 * D, 1e-12);
  EXPECT_NEAR(pose.p[2], -0.4115 * s2 + (0.4331 + L * c5) * c23 - (-0.0203 + L * c4 * s5) * s23, 1e-12);
  EXPECT_NEAR(pose.R[0][2], c1 * (c5 * s23 + c23 * c4 * s5) - s1 * s4 * s5, 1e-12);
  EXPECT_NEAR(pose.R[1][2], s1 * (c5 * s23 + c23 * c4 * s5) + c1 * s4 * s5, 1e-12);
  EXPECT_NEAR(pose.R[2][2], c23 * c5 - c4 * s23 * s5, 1e-12);
}

TEST(PumaInverseKinematics, EveryBranchReproducesTheGoalAndTheBitsMeanWhatTheySay) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> angle(-1.2, 1.2);
  for (int trial = 0; trial < 50; ++trial) {
    double q[6];
    for (double& a : q) a = angle(rng);
    q[4] = 0.3 + 0.8 * std::fabs(q[4]);  // keep away from the stretched wrist
    const ik::Pose goal = ik::forward(q);
    for (int branch = 0; branch < 8; ++branch) {
      double sol[6];
      ASSERT_TRUE(ik::solveBranch(goal, branch, 0.0, sol)) << "trial " << trial << " branch " << branch;
      expectSamePose(ik::forward(sol), goal);
      EXPECT_EQ(sol[4] < 0, bool(branch & 4)) << "wrist bit";
      // Arm bit: signed reach of the wrist centre in the arm plane.
      double w[3];
      ik::wristCentre(sol, w);
      const double reach = std::cos(sol[0]) * w[0] + std::sin(sol[0]) * w[1];
      EXPECT_EQ(reach < 0, bool(branch & 1)) << "arm bit";
      // And the angles of each branch are read back as lying on it.
      EXPECT_EQ(ik::armBranchOf(sol), branch & 3) << "trial " << trial << " branch " << branch;
    }
    // Elbow bit: seen along the reach, "up" puts the elbow above the shoulder-wrist line.
    for (int arm = 0; arm < 2; ++arm) {
      double up[6], down[6];
      ik::solveBranch(goal, arm, 0.0, up);
      ik::solveBranch(goal, arm | 2, 0.0, down);
      EXPECT_GT(elbowLift(up), 0.0) << "trial " << trial << " arm " << arm;
      EXPECT_LT(elbowLift(down), 0.0) << "trial " << trial << " arm " << arm;
    }
  }
}

TEST(PumaInverseKinematics, StartUpPoseAndReadyPoseLieOnOppositeSidesOfTheElbow) {
  // q = 0 has the wrist stretched too (q5 = 0); its branch is still defined.
  const double startup[6] = {0, 0, 0, 0, 0, 0};
  const double ready[6] = {0, -60 * kPi / 180, 160 * kPi / 180, 0, 60 * kPi / 180, 0};
  EXPECT_NE(ik::armBranchOf(startup) & 2, ik::armBranchOf(ready) & 2);
  EXPECT_EQ(ik::armBranchOf(startup) & 1, ik::armBranchOf(ready) & 1);
}

TEST(PumaInverseKinematics, NearestBranchReturnsTheCurrentPose) {
  const double q[6] = {0.2, -0.5, 0.9, -0.4, 0.7, 2.9};
  const ik::Pose goal = ik::forward(q);
  double sol[6];
  ASSERT_EQ(ik::inverse(goal, ik::kNearestBranch, {q, kMin, kMax}, sol), ik::IkResult::kSolved);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(sol[i], q[i], 1e-9) << i;
}

TEST(PumaInverseKinematics, WholeTurnsFollowTheCurrentAnglesWithinLimits) {
  // Joint 6 may turn past 180 degrees; the answer stays near the current angle.
  const double q[6] = {0.1, -0.3, 0.6, 0.2, 0.8, 4.0};
  const ik::Pose goal = ik::forward(q);
  double sol[6];
  ASSERT_EQ(ik::inverse(goal, ik::kNearestBranch, {q, kMin, kMax}, sol), ik::IkResult::kSolved);
  EXPECT_NEAR(sol[5], 4.0, 1e-9);
}

TEST(PumaInverseKinematics, RefusesGoalsOutOfReachOrOutsideTheLimits) {
  const double q[6] = {0, 0, 0, 0, 0.5, 0};
  ik::Pose far;
  far.p[0] = 2.0;
  double sol[6];
  EXPECT_EQ(ik::inverse(far, 3, {q, kWide, kWideMax}, sol), ik::IkResult::kUnreachable);
  EXPECT_EQ(ik::inverse(far, ik::kNearestBranch, {q, kWide, kWideMax}, sol), ik::IkResult::kUnreachable);
  // Limits tight around a pose: its own branch fits, the other elbow does not.
  const double here[6] = {0.2, -0.5, 0.9, -0.4, 0.7, 0.3};
  double lo[6], hi[6];
  for (int i = 0; i < 6; ++i) lo[i] = here[i] - 0.1, hi[i] = here[i] + 0.1;
  const ik::Pose goal = ik::forward(here);
  int own = -1;
  for (int b = 0; b < 8 && own < 0; ++b)
    if (ik::solveBranch(goal, b, 0.0, sol) && std::fabs(sol[1] - here[1]) < 1e-9 && sol[4] > 0) own = b;
  ASSERT_GE(own, 0);
  EXPECT_EQ(ik::inverse(goal, own, {here, lo, hi}, sol), ik::IkResult::kSolved);
  EXPECT_EQ(ik::inverse(goal, own ^ 2, {here, lo, hi}, sol), ik::IkResult::kOutsideLimits);
}

TEST(PumaInverseKinematics, StretchedWristKeepsTheHintAndTheToolRotation) {
  const double q[6] = {0.3, -0.4, 0.7, 0.9, 0.0, -0.2};
  const ik::Pose goal = ik::forward(q);
  double sol[6];
  int own = -1;
  for (int b = 0; b < 4 && own < 0; ++b)
    if (ik::solveBranch(goal, b, 0.5, sol) && std::fabs(sol[1] - q[1]) < 1e-9) own = b;
  ASSERT_GE(own, 0);
  EXPECT_NEAR(sol[3], 0.5, 1e-12);
  EXPECT_NEAR(std::remainder(sol[3] + sol[5] - q[3] - q[5], 2 * kPi), 0.0, 1e-9);
  expectSamePose(ik::forward(sol), goal);
}

TEST(ReducedInverseKinematics, PlanarArmsRoundTripOnEveryBranch) {
  const double wide[4] = {-10, -10, -10, -10}, wideMax[4] = {10, 10, 10, 10};
  const double q3[3] = {-0.6, 0.9, 0.4};
  const double q4[4] = {0.7, -0.6, 0.9, -0.3};  // tool vertical: both arms reach
  for (int dof : {1, 3, 4}) {
    const double* q = dof == 1 ? q3 : dof == 3 ? q3 : q4;
    double x[4], sol[4], back[4];
    ik::forwardReduced(dof, q, x);
    for (int branch = 0; branch <= ik::kNearestBranch; ++branch) {
      ASSERT_EQ(ik::inverseReduced(dof, x, branch, {q, wide, wideMax}, sol), ik::IkResult::kSolved)
          << dof << " joints, branch " << branch;
      ik::forwardReduced(dof, sol, back);
      for (int i = 0; i < dof; ++i) EXPECT_NEAR(back[i], x[i], 1e-9) << dof << " joints, branch " << branch;
    }
    ASSERT_EQ(ik::inverseReduced(dof, x, ik::kNearestBranch, {q, wide, wideMax}, sol), ik::IkResult::kSolved);
    for (int i = 0; i < dof; ++i) EXPECT_NEAR(sol[i], q[i], 1e-9);
  }
  const double far[3] = {3.0, 0.0, 0.0};
  double sol[3];
  EXPECT_EQ(ik::inverseReduced(3, far, 0, {q3, wide, wideMax}, sol), ik::IkResult::kUnreachable);
}

}  // namespace
