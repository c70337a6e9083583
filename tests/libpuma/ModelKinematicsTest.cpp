// The closed-form operational point, Jacobian and Jacobian rate against an
// independent forward kinematics and against finite differences.
#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "libpuma/CPumaModelQ.h"
#include "libpuma/IRobotModel.h"
#include "libpuma/PumaKinematics.h"

using namespace modeltest;

namespace {

constexpr int kPoses = 50;

TEST(ModelKinematics, OperationalPointMatchesTheProductOfExponentials) {
  std::mt19937 rng(11);
  for (int n = 0; n < kPoses; ++n) {
    double q[6];
    randomJoints(rng, q);
    PrVector p;
    puma::operationalPoint(toPr(q, 6), p);
    const Eigen::Vector3d expected = pumaPoint(q);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], expected[i], 1e-6) << "pose " << n << " axis " << i;
  }
}

// Rows 0-2 against central differences of the point, rows 3-5 against the
// angular velocity between neighbouring orientations.
TEST(ModelKinematics, JacobianMatchesFiniteDifferencesOfPointAndOrientation) {
  std::mt19937 rng(12);
  const double h = 1e-6;
  for (int n = 0; n < kPoses; ++n) {
    double q[6];
    randomJoints(rng, q);
    PrMatrix J, dJ;
    puma::jacobianAndRate(toPr(q, 6), PrVector(6), J, dJ);
    ASSERT_EQ(J.row(), 6);
    ASSERT_EQ(J.column(), 6);
    for (int k = 0; k < 6; ++k) {
      double qp[6], qm[6];
      std::copy(q, q + 6, qp);
      std::copy(q, q + 6, qm);
      qp[k] += h;
      qm[k] -= h;
      const Eigen::Vector3d v = (pumaPoint(qp) - pumaPoint(qm)) / (2 * h);
      const Eigen::Vector3d w = angularVelocity(pumaRotation(qm), pumaRotation(qp), 2 * h);
      for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(J(i, k), v[i], 2e-6) << "pose " << n << " row " << i << " joint " << k;
        EXPECT_NEAR(J(3 + i, k), w[i], 2e-6) << "pose " << n << " row " << 3 + i << " joint " << k;
      }
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(J(i, 5), 0.0f);
  }
}

TEST(ModelKinematics, JacobianRateIsTheDerivativeOfTheJacobianAlongTheJointVelocity) {
  std::mt19937 rng(13);
  std::uniform_real_distribution<double> rate(-2.0, 2.0);
  const double h = 1e-3;
  for (int n = 0; n < kPoses; ++n) {
    double q[6], dq[6], qp[6], qm[6];
    randomJoints(rng, q);
    for (int i = 0; i < 6; ++i) {
      dq[i] = rate(rng);
      qp[i] = q[i] + h * dq[i];
      qm[i] = q[i] - h * dq[i];
    }
    PrMatrix J, dJ, Jp, Jm, unused;
    puma::jacobianAndRate(toPr(q, 6), toPr(dq, 6), J, dJ);
    puma::jacobianAndRate(toPr(qp, 6), PrVector(6), Jp, unused);
    puma::jacobianAndRate(toPr(qm, 6), PrVector(6), Jm, unused);
    for (int r = 0; r < 6; ++r) {
      for (int c = 0; c < 6; ++c) {
        const double fd = (double(Jp(r, c)) - Jm(r, c)) / (2 * h);
        EXPECT_NEAR(dJ(r, c), fd, 5e-4) << "pose " << n << " (" << r << ", " << c << ")";
      }
    }

    // θ6 enters nowhere, so its rate cannot change dJ.
    PrVector dqOther = toPr(dq, 6);
    dqOther[5] += 3.0f;
    PrMatrix J2, dJ2;
    puma::jacobianAndRate(toPr(q, 6), dqOther, J2, dJ2);
    EXPECT_TRUE(dJ2 == dJ);
  }
}

TEST(ModelKinematics, SingularityFlags) {
  PrVector q(6);
  // Folded arm at zero: not stretched, but axes 4 and 6 are aligned.
  EXPECT_EQ(puma::singularFlags(q, 0.17f), kSingularWrist);
  EXPECT_EQ(puma::singularFlags(q, 1.5f) & kSingularElbow, 0);
  EXPECT_EQ(puma::singularFlags(q, 1e-6f), kSingularWrist);

  q[2] = 1.5707963267948966f;
  q[4] = 0.5f;
  EXPECT_EQ(puma::singularFlags(q, 1e-12f), kSingularElbow);

  // Wrist centre over axis 1: a2 c2 + d4 s23 = 0.
  q.zero();
  q[1] = 0.3f;
  q[2] = static_cast<float>(std::asin(-0.4115 * std::cos(0.3) / 0.4331) - 0.3);
  q[4] = 1.0f;
  EXPECT_EQ(puma::singularFlags(q, 0.01f), kSingularShoulder);
  EXPECT_EQ(puma::singularFlags(q, 0.0f), 0);
}

TEST(ModelKinematics, UpdateReadsTheDriverAndReportsAFullModel) {
  ScriptedDriver driver;
  const double q[6] = {0.1, -0.4, 0.9, 0.3, -0.7, 0.2};
  const double dq[6] = {0.5, -0.2, 0.3, 1.0, -0.4, 2.0};
  const double gravity[6] = {0.0, 31.0, -4.0, 0.1, 0.2, 0.0};
  driver.q = toPr(q, 6);
  driver.dq = toPr(dq, 6);
  driver.gravity = toPr(gravity, 6);

  CPumaModelQ model;
  PrVector qOut, dqOut, b, g, lock(3);
  PrMatrix J, dJ, M;
  int flags = -1;
  model.update(driver, 0.1745f, qOut, dqOut, J, dJ, M, b, g, flags, lock);
  EXPECT_TRUE(qOut == driver.q);
  EXPECT_TRUE(dqOut == driver.dq);
  EXPECT_TRUE(g == driver.gravity);
  EXPECT_EQ(flags, 0);
  ASSERT_EQ(lock.size(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(lock[i], 0.0f);

  PrMatrix Jref, dJref;
  puma::jacobianAndRate(driver.q, driver.dq, Jref, dJref);
  EXPECT_TRUE(J == Jref);
  EXPECT_TRUE(dJ == dJref);
}

}  // namespace
