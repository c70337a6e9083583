// The closed-form model against the simulated arm built from puma560.prm:
// kinematics must agree to the millimetre, the mass matrix and the Coriolis
// vector to within the closed form's known simplifications (measured and
// printed, bounded loosely enough to let those through and nothing gross).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ModelTestSupport.h"
#include "libpuma/CPumaModelQ.h"
#include "libpuma/CSimPuma.h"
#include "libpuma/PumaDynamics.h"
#include "libpuma/PumaKinematics.h"

using namespace modeltest;

namespace {

constexpr int kPoses = 200;

class ModelSimPuma : public ::testing::Test {
 protected:
  void SetUp() override {
    arm = CSimPuma::create(500.0f);
    ASSERT_NE(arm, nullptr) << "puma560.prm must be in the working directory";
    arm->setFriction(false);
  }

  // Joint values within the arm's limits.
  PrVector randomPose(std::mt19937& rng) {
    CPumaModelQ limits;
    PrVector q(6);
    for (int i = 0; i < 6; ++i) {
      std::uniform_real_distribution<double> u(limits.m_jointMin[i], limits.m_jointMax[i]);
      q[i] = float(u(rng));
    }
    return q;
  }

  PrVector randomVelocity(std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-1.5, 1.5);
    PrVector dq(6);
    for (int i = 0; i < 6; ++i) dq[i] = float(u(rng));
    return dq;
  }

  std::unique_ptr<CSimPuma> arm;
};

// The closed form has no base height of its own; whatever constant offset the
// arm's base frame adds must be the same in every pose.
TEST_F(ModelSimPuma, OperationalPointIsTheEndEffectorOfTheSimulatedArm) {
  std::mt19937 rng(71);
  double offset[3] = {0, 0, 0};
  double worst = 0.0;
  for (int n = 0; n < kPoses; ++n) {
    const PrVector q = randomPose(rng);
    arm->setState(q, PrVector(6));
    PrTransform frame;
    arm->getEndEffectorFrame(frame);
    PrVector p;
    puma::operationalPoint(q, p);
    for (int i = 0; i < 3; ++i) {
      const double d = double(frame.translation[i]) - p[i];
      if (n == 0) offset[i] = d;
      worst = std::max(worst, std::abs(d - offset[i]));
    }
  }
  std::printf("operational point vs arm: constant offset (%.6f %.6f %.6f) m, worst residual %.2e m\n",
              offset[0], offset[1], offset[2], worst);
  EXPECT_NEAR(offset[0], 0.0, 1e-3);
  EXPECT_NEAR(offset[1], 0.0, 1e-3);
  EXPECT_LT(worst, 1e-3);
}

// Rows 0-2 against differences of the arm's end-effector position, rows 3-5
// against the angular velocity of its end-effector frame.
TEST_F(ModelSimPuma, JacobianMatchesTheSimulatedArmsEndEffectorMotion) {
  std::mt19937 rng(72);
  const float h = 1e-3f;
  for (int n = 0; n < 40; ++n) {
    const PrVector q = randomPose(rng);
    PrMatrix J, dJ;
    puma::jacobianAndRate(q, PrVector(6), J, dJ);
    for (int k = 0; k < 6; ++k) {
      PrVector qp(q), qm(q);
      qp[k] += h;
      qm[k] -= h;
      PrTransform fp, fm;
      arm->setState(qp, PrVector(6));
      arm->getEndEffectorFrame(fp);
      arm->setState(qm, PrVector(6));
      arm->getEndEffectorFrame(fm);
      const double step = double(qp[k]) - qm[k];
      const Eigen::Vector3d w = angularVelocity(toEigen(fm.rotation), toEigen(fp.rotation), step);
      for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(J(i, k), (double(fp.translation[i]) - fm.translation[i]) / step, 2e-3)
            << "pose " << n << " row " << i << " joint " << k;
        EXPECT_NEAR(J(3 + i, k), w[i], 2e-3) << "pose " << n << " row " << 3 + i << " joint " << k;
      }
    }
  }
}

TEST_F(ModelSimPuma, MassMatrixAgreesWithTheSimulatedArm) {
  std::mt19937 rng(73);
  double worstAbs = 0.0, worstRel = 0.0;
  for (int n = 0; n < kPoses; ++n) {
    const PrVector q = randomPose(rng);
    arm->setState(q, PrVector(6));
    PrMatrix Msim, M;
    PrVector b;
    arm->computeMassMatrix(Msim);
    puma::massMatrixAndCoriolis(q, PrVector(6), M, b);
    for (int r = 0; r < 6; ++r) {
      for (int c = 0; c < 6; ++c) {
        const double err = std::abs(double(M(r, c)) - Msim(r, c));
        worstAbs = std::max(worstAbs, err);
        // Relative to the joints' own inertia scale, so near-zero couplings do not blow up.
        worstRel = std::max(worstRel, err / std::sqrt(double(Msim(r, r)) * Msim(c, c)));
      }
    }
  }
  std::printf("mass matrix vs arm over %d poses: max abs error %.4f kg m^2, max rel error %.4f\n", kPoses,
              worstAbs, worstRel);
  EXPECT_LT(worstRel, 0.05);
}

// The arm's inverse dynamics at zero acceleration, less its gravity torques
// (inverse dynamics at rest), is its centrifugal and Coriolis vector. Both are
// quadratic in dq, so the errors are bounded per unit |dq|². The closed form's
// mass matrix places the wrist at the shoulder's lateral offset and leaves out
// a3, which shows in joints 1-3 (its Coriolis is exactly the Christoffel form
// of that mass matrix, see ModelDynamicsTest); the wrist rows only miss the
// wrist links' small transverse inertias.
TEST_F(ModelSimPuma, CoriolisAgreesWithTheSimulatedArmsInverseDynamics) {
  std::mt19937 rng(74);
  double worstAbs = 0.0, worstArm = 0.0, worstWrist = 0.0;
  std::vector<double> relative;
  for (int n = 0; n < kPoses; ++n) {
    const PrVector q = randomPose(rng);
    const PrVector dq = randomVelocity(rng);
    const PrVector zero(6);
    PrVector moving, resting;
    arm->setState(q, dq);
    arm->inverseDynamics(moving, zero);
    arm->setState(q, zero);
    arm->inverseDynamics(resting, zero);
    PrMatrix M;
    PrVector b;
    puma::massMatrixAndCoriolis(q, dq, M, b);
    const double speedSquared = dq.magnitudeSquared();
    double worstHere = 0.0, scale = 0.0;
    for (int i = 0; i < 6; ++i) {
      const double reference = double(moving[i]) - resting[i];
      const double err = std::abs(b[i] - reference);
      worstHere = std::max(worstHere, err);
      scale = std::max(scale, std::abs(reference));
      (i < 3 ? worstArm : worstWrist) = std::max(i < 3 ? worstArm : worstWrist, err / speedSquared);
    }
    worstAbs = std::max(worstAbs, worstHere);
    relative.push_back(worstHere / scale);
  }
  std::sort(relative.begin(), relative.end());
  std::printf(
      "Coriolis vector vs arm over %d states (|dq_i| <= 1.5 rad/s): max abs error %.4f N m; "
      "max |error| / max |b| per state: median %.4f, worst %.4f; per unit |dq|^2: joints 1-3 %.4f, "
      "joints 4-6 %.4f\n",
      kPoses, worstAbs, relative[relative.size() / 2], relative.back(), worstArm, worstWrist);
  EXPECT_LT(worstArm, 0.15);
  EXPECT_LT(worstWrist, 0.005);
}

// The model hands control the simulator's gravity, unchanged.
TEST_F(ModelSimPuma, UpdateUsesTheArmsGravity) {
  std::mt19937 rng(75);
  const PrVector q = randomPose(rng);
  arm->setState(q, randomVelocity(rng));
  CPumaModelQ model;
  PrVector qOut, dq, b, g, lock, gSim;
  PrMatrix J, dJ, M;
  int flags = 0;
  model.update(*arm, 0.17f, qOut, dq, J, dJ, M, b, g, flags, lock);
  arm->computeGravity(gSim);
  EXPECT_TRUE(g == gSim);
  EXPECT_TRUE(qOut == q);
}

}  // namespace
