// Operational laws checked against independent computations: the decoupled
// torque against A J^-1 F* + G, the damped form's behaviour as the Jacobian
// loses rank, the frame error against rotations built by hand, and the
// velocity saturation's limits.
#include <gtest/gtest.h>

#include <cmath>

#include "StateFixture.h"
#include "plugin/OperationalTorque.h"
#include "plugin/TaskSpace.h"
#include "plugin/VelocitySaturation.h"
#include "utility/Angles.h"

namespace {

Eigen::VectorXd torqueOf(const ServoState& s) {
  Eigen::VectorXd t(s.dof);
  for (int i = 0; i < s.dof; ++i) t(i) = s.tau[i];
  return t;
}

TEST(DecoupledTorque, EqualsTheJointSpaceFormWhenRegular) {
  StateFixture f;
  const double command[6] = {0.5, -1.0, 2.0, 0.3, -0.2, 0.1};
  decoupledTorque(f.s, command);
  // J^T (Lambda F* + p) = A J^-1 F* + G for a square regular Jacobian (mu = 0).
  const Eigen::VectorXd F = Eigen::Map<const Eigen::VectorXd>(command, 6);
  const Eigen::VectorXd expected = f.A * f.J.inverse() * F + f.G;
  EXPECT_LT((torqueOf(f.s) - expected).norm(), 1e-3 * (1 + expected.norm()));
}

TEST(DecoupledTorque, StaysBoundedAsTheJacobianLosesRank) {
  // Shrink one singular value of J towards zero: the exact law demands
  // ever larger torques for a command along the lost direction, the damped
  // one (used while the singular flags are set) does not.
  const double command[6] = {1, 1, 1, 1, 1, 1};
  double previous = 0;
  for (double sigma : {1e-3, 1e-4, 1e-5}) {
    StateFixture f;
    Eigen::JacobiSVD<Eigen::MatrixXd> svd(f.J, Eigen::ComputeFullU | Eigen::ComputeFullV);
    Eigen::VectorXd values = svd.singularValues();
    values(5) = sigma;
    const Eigen::MatrixXd J = svd.matrixU() * values.asDiagonal() * svd.matrixV().transpose();
    for (int i = 0; i < 6; ++i)
      for (int j = 0; j < 6; ++j) f.s.J(i, j) = float(J(i, j));
    f.s.singular = 4;  // the servo zeroes Lambda, mu and p then
    f.s.Lambda.zero();
    f.s.p.zero();
    decoupledTorque(f.s, command);
    const Eigen::VectorXd tau = torqueOf(f.s) - f.G - f.B;
    ASSERT_TRUE(tau.allFinite());
    const double exact = (f.A * J.inverse() * Eigen::VectorXd::Ones(6)).norm();
    if (sigma <= 1e-4) {
      EXPECT_LT(tau.norm(), 0.05 * exact) << "sigma " << sigma;
    }
    if (previous > 0) {
      EXPECT_LT(tau.norm(), 1.5 * previous);
    }
    previous = tau.norm();
  }
}

TEST(GravityCompensatedTorque, IsJacobianTransposeForcePlusGravity) {
  StateFixture f;
  const double force[6] = {3, 0, -1, 0.5, 0, 2};
  gravityCompensatedTorque(f.s, force);
  const Eigen::VectorXd expected = f.J.transpose() * Eigen::Map<const Eigen::VectorXd>(force, 6) + f.G;
  EXPECT_LT((torqueOf(f.s) - expected).norm(), 1e-4 * expected.norm());
}

PrTransform frameAt(double x, double y, double z, double axisX, double axisY, double axisZ, double angle) {
  const double n = std::sqrt(axisX * axisX + axisY * axisY + axisZ * axisZ);
  const double s = std::sin(angle / 2) / n;
  return PrTransform(
      PrQuaternion(float(std::cos(angle / 2)), float(axisX * s), float(axisY * s), float(axisZ * s)),
      PrVector3(float(x), float(y), float(z)));
}

TEST(FrameError, IsPositionDifferenceThenMinusTheRotationToTheGoal) {
  const PrTransform current = frameAt(0.5, 0.1, 0.3, 0, 0, 1, 0);
  const PrTransform goal = frameAt(0.4, 0.2, 0.3, 0, 0, 1, 0.3);
  double e[6];
  frameError(current, goal, e);
  EXPECT_NEAR(e[0], 0.1, 1e-6);
  EXPECT_NEAR(e[1], -0.1, 1e-6);
  EXPECT_NEAR(e[2], 0.0, 1e-6);
  // The goal is 0.3 rad further about z: the error points the other way.
  EXPECT_NEAR(e[3], 0.0, 1e-6);
  EXPECT_NEAR(e[4], 0.0, 1e-6);
  EXPECT_NEAR(e[5], -0.3, 1e-5);
  // Small errors agree with the record's own transform error.
  PrVector6 reference;
  const PrTransform near = frameAt(0.5, 0.1, 0.3, 1, 2, 3, 0.01);
  current.error(near, reference);
  frameError(current, near, e);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(e[i], reference[i], 2e-5) << i;
}

TEST(FrameError, TakesTheShortWayAndFullAnglesNearHalfATurn) {
  const PrTransform current = frameAt(0, 0, 0, 1, 0, 0, 0);
  double e[6];
  frameError(current, frameAt(0, 0, 0, 1, 0, 0, 3.0), e);
  EXPECT_NEAR(e[3], -3.0, 1e-5);
  // 200 degrees one way is 160 degrees the other.
  frameError(current, frameAt(0, 0, 0, 1, 0, 0, 200 * kPi / 180), e);
  EXPECT_NEAR(e[3], 160 * kPi / 180, 1e-5);
}

TaskLayout sixJointLayout() {
  StateFixture f;
  return taskLayout(f.s);
}

TEST(VelocitySaturation, CruisesAtTheLimitsFarAwayAndIsPlainPdNearby) {
  const TaskLayout layout = sixJointLayout();
  ASSERT_EQ(layout.nPos, 3);
  ASSERT_EQ(layout.nOri, 3);
  const float kp[6] = {400, 400, 400, 400, 400, 400}, kv[6] = {40, 40, 40, 40, 40, 40};
  const double far[6] = {0.3, -0.4, 0.0, 0.5, 0, 0};
  double v[6];
  saturatedTaskVelocity(layout, far, kp, kv, 0.3, 0.785, v);
  EXPECT_NEAR(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 0.3, 1e-9);
  EXPECT_NEAR(v[0] / v[1], far[0] / far[1], 1e-9);  // straight at the goal
  EXPECT_NEAR(v[3], -0.785, 1e-9);
  // At rest the command accelerates towards the goal; nearby it is -kp e - kv dx.
  const double nearby[6] = {0.001, 0, 0, 0, 0.002, 0};
  const float dx[6] = {0.01f, 0, 0, 0, 0, 0};
  double command[6];
  saturatedTaskCommand(layout, nearby, dx, kp, kv, 0.3, 0.785, command);
  EXPECT_NEAR(command[0], -400 * 0.001 - 40 * 0.01, 1e-6);
  EXPECT_NEAR(command[4], -400 * 0.002, 1e-6);
}

TEST(VelocitySaturation, JointScalingKeepsEveryJointWithinItsLimit) {
  const float kp[3] = {400, 400, 400}, kv[3] = {40, 40, 40}, dq[3] = {0, 0, 0};
  const float dqmax[3] = {0.8f, 0.8f, 0.2f};
  const double error[3] = {-1.0, 0.5, -0.5};
  double command[3];
  saturatedJointCommand(3, error, dq, kp, kv, dqmax, command);
  // Commanded velocity = command / kv: joint 3 sets the pace at 0.2 rad/s and
  // the others keep their proportion.
  EXPECT_NEAR(command[2] / 40, 0.2, 1e-6);
  EXPECT_NEAR(command[0] / 40, 0.4, 1e-6);
  EXPECT_NEAR(command[1] / 40, -0.2, 1e-6);
}

}  // namespace
