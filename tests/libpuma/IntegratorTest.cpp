// The one-evaluation step: its prediction of the midpoint velocity comes from
// the step before, so it must not outlive a state set from outside.
#include <gtest/gtest.h>

#include "DynamicsTestSupport.h"
#include "libpuma/PrIntegrator.h"

using dyntest::shippedPuma;
using dyntest::vec6;

namespace {

// One step of `arm` from (q, dq) under zero torque; positions and velocities after it.
void stepFrom(CSimPuma& arm, PrIntegrator& integrator, const PrVector& q, const PrVector& dq, PrVector& qOut,
              PrVector& dqOut) {
  arm.setState(q, dq);
  for (int i = 0; i < 6; ++i) arm.robot().torques()[i] = 0.0f;
  ASSERT_TRUE(integrator.step(arm.robot(), 0.002f));
  arm.getJointPositions(qOut);
  arm.getJointVelocities(dqOut);
}

TEST(Integrator, AStateSetFromOutsideStartsAFreshStep) {
  auto swung = shippedPuma(false);
  auto fresh = shippedPuma(false);
  ASSERT_TRUE(swung && fresh);
  PrIntegrator used(6), unused(6);
  // Let `used` swing the arm hard for a while, so its last accelerations are large.
  swung->setState(vec6(0.3f, 0.5f, -0.4f, 0.6f, 0.8f, 0.2f), vec6(2, -2, 2, 3, -3, 3));
  for (int k = 0; k < 200; ++k) {
    for (int i = 0; i < 6; ++i) swung->robot().torques()[i] = 0.0f;
    ASSERT_TRUE(used.step(swung->robot(), 0.002f));
  }
  const PrVector q = vec6(-0.2f, -0.9f, 1.6f, 0.1f, 0.5f, -0.4f),
                 dq = vec6(0.1f, 0.2f, -0.1f, 0.3f, 0.0f, 0.2f);
  PrVector qA, dqA, qB, dqB;
  stepFrom(*swung, used, q, dq, qA, dqA);
  stepFrom(*fresh, unused, q, dq, qB, dqB);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(qA[i], qB[i]) << i;
    EXPECT_EQ(dqA[i], dqB[i]) << i;
  }
}

// A continuing swing uses the prediction, and stays within a hair of the
// two-evaluation midpoint rule over a second of motion.
TEST(Integrator, ContinuingStepsFollowTheMidpointRule) {
  auto arm = shippedPuma(false);
  ASSERT_TRUE(arm);
  PrRobot& robot = arm->robot();
  arm->setState(vec6(0.5f, -0.6f, 1.0f, 0.3f, -0.7f, 0.0f), PrVector(6));
  double q[6], v[6];
  for (int i = 0; i < 6; ++i) q[i] = robot.positions()[i], v[i] = 0.0;
  PrIntegrator integrator(6);
  const float dt = 0.002f;
  for (int k = 0; k < 500; ++k) {
    // The midpoint rule on a copy of the state, in the engine's own forward dynamics.
    float saved[12];
    for (int i = 0; i < 6; ++i) saved[i] = robot.positions()[i], saved[6 + i] = robot.velocities()[i];
    for (int i = 0; i < 6; ++i) robot.positions()[i] = float(q[i]), robot.velocities()[i] = float(v[i]);
    for (int i = 0; i < 6; ++i) robot.torques()[i] = 0.0f;
    robot.forwardDynamics();
    double qm[6], vm[6];
    for (int i = 0; i < 6; ++i) {
      qm[i] = q[i] + 0.5 * dt * v[i];
      vm[i] = v[i] + 0.5 * dt * robot.accelerations()[i];
      robot.positions()[i] = float(qm[i]);
      robot.velocities()[i] = float(vm[i]);
    }
    robot.forwardDynamics();
    for (int i = 0; i < 6; ++i) {
      q[i] += dt * vm[i];
      v[i] += dt * robot.accelerations()[i];
      robot.positions()[i] = saved[i];
      robot.velocities()[i] = saved[6 + i];
    }
    ASSERT_TRUE(integrator.step(robot, dt));
  }
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(robot.positions()[i], q[i], 2e-3) << i;
}

}  // namespace
