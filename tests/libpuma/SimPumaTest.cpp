// The simulated PUMA driver: creation, driver slots, the contact spring,
// friction switching, defence against non-finite numbers, and a servo step
// that never allocates.
#include <cmath>

#include "AllocationCounter.h"
#include "DynamicsTestSupport.h"

using dyntest::vec6;

namespace {

void expectNear(const PrMatrix& a, const PrMatrix& b) {
  ASSERT_EQ(a.row(), b.row());
  ASSERT_EQ(a.column(), b.column());
  for (int i = 0; i < a.size(); ++i) EXPECT_NEAR(a.dataPtr()[i], b.dataPtr()[i], 1e-5f) << i;
}

class SimPuma : public ::testing::Test {
 protected:
  void SetUp() override {
    arm = dyntest::shippedPuma(true, &clock);
    ASSERT_TRUE(arm);
  }
  // One paced servo step with fresh torques.
  int tick(const PrVector& tau) {
    arm->setTorques(tau);
    clock.now += 2;
    return arm->step(1.0f);
  }
  dyntest::ManualClock clock;
  std::unique_ptr<CSimPuma> arm;
};

TEST(SimPumaCreation, MissingDescriptionIsReportedAndGivesNoArm) {
  testing::internal::CaptureStdout();
  auto arm = CSimPuma::create(500.0f, "no-such-dir/puma560.prm");
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(arm, nullptr);
  EXPECT_EQ(out, "Error: couldn't open file(no-such-dir/puma560.prm)\n");
}

TEST_F(SimPuma, StartsAtZeroWithTheToolAboveTheShoulder) {
  PrVector q, dq;
  arm->getJointPositions(q);
  arm->getJointVelocities(dq);
  EXPECT_TRUE(q == PrVector(6));
  EXPECT_TRUE(dq == PrVector(6));
  PrTransform ee;
  arm->getEndEffectorFrame(ee);
  // x = a2 + a3, y = d2 + d3 (lateral offsets), z = d4 + L.
  EXPECT_NEAR(ee.translation[0], 0.4115f - 0.0203f, 1e-6f);
  EXPECT_NEAR(ee.translation[1], 0.1501f - 0.0934f, 1e-6f);
  EXPECT_NEAR(ee.translation[2], 0.4331f + 0.16f, 1e-6f);
}

TEST_F(SimPuma, LinkFramesExistForLinksZeroToFiveOnly) {
  PrTransform frame;
  frame.translation.set(7.0f, 8.0f, 9.0f);
  const PrTransform before = frame;
  EXPECT_FALSE(arm->getLinkFrame(6, frame));
  EXPECT_FALSE(arm->getLinkFrame(-1, frame));
  EXPECT_TRUE(frame.translation == before.translation);
  EXPECT_TRUE(arm->getLinkFrame(5, frame));

  PrMatrix J(3, 6);
  J.fill(1.0f, 0, 0, 3, 6);
  arm->getPointJacobian(6, PrVector3(), J);
  EXPECT_EQ(J.row(), 3);
  EXPECT_TRUE(J.isZero());
}

TEST_F(SimPuma, FrictionOffAndOnRestoresTheFileValues) {
  PrRobot fresh(6, CSimPuma::kDefaultDescription, 0, 0);
  arm->setFriction(false);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(arm->robot().link(i)->friction() == PrVector3());
  arm->setFriction(true);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(arm->robot().link(i)->friction() == fresh.link(i)->friction()) << i;
  EXPECT_GT(fresh.link(1)->friction()[2], 0.0f);
}

// The spring's torques are Jᵀ·k·(target − p) at the contact point.
TEST_F(SimPuma, ContactSpringAddsJacobianTransposeForce) {
  arm->setFriction(false);
  const PrVector q = vec6(0.3f, -0.5f, 0.8f, 0.2f, 0.7f, 0.1f);
  arm->setState(q, PrVector(6));
  PrTransform frame;
  arm->getLinkFrame(4, frame);
  const PrVector3 local(0.0f, 0.02f, 0.05f);
  const PrVector3 world = frame * local;
  arm->setContactPoint(4, world, q);
  const PrVector3 target = world + PrVector3(0.1f, -0.05f, 0.2f);
  arm->applyContactForce(200.0f, target);

  PrMatrix J;
  arm->getContactJacobian(J);
  ASSERT_EQ(J.row(), 3);
  PrVector g, tauSpring(6), accSpring, accManual;
  arm->computeGravity(g);
  for (int i = 0; i < 6; ++i)
    for (int r = 0; r < 3; ++r) tauSpring[i] += J[r][i] * 200.0f * (target[r] - world[r]);
  arm->forwardDynamics(accSpring, g);
  arm->removeContactForce();
  arm->forwardDynamics(accManual, g + tauSpring);
  for (int i = 0; i < 6; ++i)
    EXPECT_NEAR(accSpring[i], accManual[i], 1e-3f * (1.0f + std::fabs(accManual[i])));
}

// The contact point is taken on the arm as it was drawn (jointPos), and the
// simulated arm's own positions are left alone.
TEST_F(SimPuma, ContactPointIsMappedWithTheGivenJointPositions) {
  const PrVector drawn = vec6(0.4f, -0.3f, 0.6f, 0.0f, 0.5f, 0.0f);
  arm->setState(drawn, PrVector(6));
  PrTransform frame;
  arm->getLinkFrame(2, frame);
  const PrVector3 local(0.1f, -0.2f, 0.05f);
  const PrVector3 world = frame * local;
  arm->setState(PrVector(6), PrVector(6));
  arm->setContactPoint(2, world, drawn);
  PrMatrix Jcontact, Jpoint;
  arm->getContactJacobian(Jcontact);
  arm->getPointJacobian(2, local, Jpoint);
  expectNear(Jcontact, Jpoint);
  PrVector q;
  arm->getJointPositions(q);
  EXPECT_TRUE(q == PrVector(6));

  testing::internal::CaptureStdout();
  arm->setContactPoint(9, world, drawn);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("no link 9"), std::string::npos);
  arm->getContactJacobian(Jcontact);
  expectNear(Jcontact, Jpoint);
}

TEST_F(SimPuma, SpringTorquesDoNotPileUpWithoutFreshTorques) {
  arm->setFriction(false);
  PrTransform frame;
  arm->getLinkFrame(5, frame);
  arm->setContactPoint(5, frame.translation, PrVector(6));
  arm->applyContactForce(200.0f, frame.translation + PrVector3(0.0f, 0.0f, 0.1f));
  arm->setTorques(PrVector(6));
  clock.now += 2;
  ASSERT_EQ(arm->step(1.0f), 1);
  const float first = arm->robot().torques()[1];
  clock.now += 2;
  ASSERT_EQ(arm->step(1.0f), 1);
  EXPECT_NEAR(arm->robot().torques()[1], first, 0.05f * std::fabs(first));
}

TEST_F(SimPuma, NonFiniteTorquesHoldTheArmInsteadOfPoisoningIt) {
  PrVector g;
  arm->setState(vec6(0.1f, -0.2f, 0.3f, 0.0f, 0.4f, 0.0f), vec6(0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f));
  arm->computeGravity(g);
  PrVector bad = g;
  bad[2] = std::nanf("");
  PrVector q0, q, dq;
  arm->getJointPositions(q0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(tick(bad), 1);
  EXPECT_EQ(tick(bad), 1);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("non-finite"), out.rfind("non-finite")) << "reported once: " << out;
  EXPECT_NE(out.find("non-finite"), std::string::npos);
  arm->getJointPositions(q);
  arm->getJointVelocities(dq);
  EXPECT_TRUE(q == q0);
  EXPECT_TRUE(dq == PrVector(6));
  // Good torques bring the arm back to life.
  EXPECT_EQ(tick(g), 1);
  arm->getJointPositions(q);
  EXPECT_TRUE(q.isFinite());

  testing::internal::CaptureStdout();
  PrVector nanState = q;
  nanState[0] = INFINITY;
  arm->setState(nanState, PrVector(6));
  EXPECT_NE(testing::internal::GetCapturedStdout().find("ignored"), std::string::npos);
  PrVector after;
  arm->getJointPositions(after);
  EXPECT_TRUE(after == q);
}

TEST_F(SimPuma, ServoStepNeverAllocates) {
  PrVector g, q, dq, f;
  PrMatrix M, J;
  PrTransform ee;
  arm->computeGravity(g);
  arm->computeMassMatrix(M);
  arm->getContactJacobian(J);
  arm->getJointPositions(q);  // the caller's vectors get their size once
  arm->getJointVelocities(dq);
  arm->getForces(f);
  arm->applyContactForce(200.0f, PrVector3(0.3f, 0.1f, 0.5f));
  const long count = heapAllocationsDuring([&] {
    for (int k = 0; k < 300; ++k) {
      arm->getJointPositions(q);
      arm->getJointVelocities(dq);
      arm->getForces(f);
      arm->setTorques(g);
      clock.now += 2;
      arm->step(1.0f);
      arm->setState(q, dq);
      arm->getEndEffectorFrame(ee);
      arm->computeGravity(g);
      arm->computeMassMatrix(M);
      arm->getContactJacobian(J);
    }
  });
  EXPECT_EQ(count, 0);
  EXPECT_EQ(heapAllocationsDuring([] {
              int* volatile p = new int(1);
              delete p;
            }),
            1)
      << "the counter works";
}

using SimPumaDeathTest = SimPuma;

TEST_F(SimPumaDeathTest, SizesAreChecked) {
  const PrVector five(5), six(6);
  PrVector out;
  EXPECT_DEATH(arm->setTorques(five), "tau.size\\(\\) == DOF");
  EXPECT_DEATH(arm->setState(five, six), "pos.size\\(\\) == DOF");
  EXPECT_DEATH(arm->setState(six, five), "vel.size\\(\\) == DOF");
  EXPECT_DEATH(arm->forwardDynamics(out, five), "torque.size\\(\\) == DOF");
  EXPECT_DEATH(arm->inverseDynamics(out, five), "acc.size\\(\\) == DOF");
  EXPECT_DEATH(arm->setContactPoint(1, PrVector3(), five), "jointPos.size\\(\\) == DOF");
}

}  // namespace
