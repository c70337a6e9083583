// Joint friction in forward dynamics: static friction holds, Coulomb and
// viscous friction act once, and friction never reverses a joint.
#include <cmath>

#include "DynamicsTestSupport.h"

using dyntest::shippedPuma;
using dyntest::vec6;

namespace {

class Friction : public ::testing::Test {
 protected:
  void SetUp() override {
    arm = shippedPuma(true);
    ASSERT_TRUE(arm);
    pose = vec6(0.2f, -0.4f, 0.9f, 0.3f, 0.6f, -0.2f);
  }
  // Torques that exactly hold the arm against gravity at `pose`.
  PrVector holdingTorques() {
    arm->setState(pose, PrVector(6));
    PrVector g;
    arm->computeGravity(g);
    return g;
  }
  float staticFriction(int joint) { return arm->robot().link(joint)->friction()[2]; }
  std::unique_ptr<CSimPuma> arm;
  PrVector pose;
};

TEST_F(Friction, JointAtRestBelowStaticFrictionStaysAtRest) {
  PrVector tau = holdingTorques(), acc;
  for (int j = 0; j < 6; ++j) {
    PrVector pushed = tau;
    pushed[j] += 0.9f * staticFriction(j);
    arm->forwardDynamics(acc, pushed);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(acc[i], 0.0f) << "push on joint " << j << ", joint " << i;
  }
}

TEST_F(Friction, JointAtRestAboveStaticFrictionBreaksAway) {
  PrVector tau = holdingTorques(), acc;
  const float fs = staticFriction(5);
  tau[5] += 1.5f * fs;
  arm->forwardDynamics(acc, tau);
  // The other joints stay held, so the wrist turns the last body alone (its
  // centre of mass is on the axis) with what exceeds static friction.
  const float inertia = arm->robot().link(5)->principalInertia()[2];
  EXPECT_NEAR(acc[5], 0.5f * fs / inertia, 1e-4f);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(acc[i], 0.0f) << i;
}

// A slowly moving joint whose friction could stop it within one servo period
// gets exactly the deceleration that stops it, and the step ends at rest.
TEST_F(Friction, FrictionStopsASlowJointWithinOneStepWithoutReversingIt) {
  const PrVector tau = holdingTorques();
  PrVector dq(6), acc;
  dq[5] = 0.002f;
  arm->setState(pose, dq);
  arm->forwardDynamics(acc, tau);
  EXPECT_FLOAT_EQ(acc[5], -dq[5] / 0.002f);

  dyntest::ManualClock clock;
  auto paced = shippedPuma(true, &clock);
  paced->setState(pose, dq);
  paced->setTorques(tau);
  clock.now += 2;
  ASSERT_EQ(paced->step(1.0f), 1);
  PrVector v;
  paced->getJointVelocities(v);
  EXPECT_EQ(v[5], 0.0f);
}

// With friction on, inverse then forward dynamics still agree for joints that
// move fast enough that no stopping rule applies: friction is counted once.
TEST_F(Friction, InverseAndForwardDynamicsAgreeWithFrictionOnMovingJoints) {
  const PrVector dq = vec6(0.8f, -0.6f, 0.7f, -1.0f, 0.9f, 1.2f);
  const PrVector ddq = vec6(1.0f, -2.0f, 0.5f, 3.0f, -1.0f, 2.0f);
  PrVector tau, acc;
  arm->setState(pose, dq);
  arm->inverseDynamics(tau, ddq);
  arm->forwardDynamics(acc, tau);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(acc[i], ddq[i], 2e-3f) << i;

  // And the torques contain viscous plus Coulomb friction exactly once.
  PrVector tauFree;
  arm->setFriction(false);
  arm->inverseDynamics(tauFree, ddq);
  arm->setFriction(true);
  for (int i = 0; i < 6; ++i) {
    const PrVector3& f = arm->robot().link(i)->friction();
    const float expected = f[0] * dq[i] + (dq[i] > 0.0f ? f[1] : -f[1]);
    EXPECT_NEAR(tau[i] - tauFree[i], expected, 1e-3f) << i;
  }
}

TEST_F(Friction, NoFrictionMeansNoEffect) {
  // Joint 1 is not loaded by gravity: with friction off any torque moves it.
  arm->setFriction(false);
  PrVector tau = holdingTorques(), acc;
  tau[0] += 0.01f;
  arm->forwardDynamics(acc, tau);
  EXPECT_GT(acc[0], 0.0f);
}

}  // namespace
