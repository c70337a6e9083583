// Physics checks of the articulated-body engine on the shipped PUMA: the
// algorithms are checked against each other and against conservation laws.
#include <cmath>
#include <cstdio>
#include <random>

#include "DynamicsTestSupport.h"
#include "libpuma/PrIntegrator.h"
#include "libpuma/PumaDynamics.h"
#include "libpuma/PumaKinematics.h"

using dyntest::shippedPuma;
using dyntest::vec6;

namespace {

struct Sample {
  PrVector q, dq, ddq;
};

std::vector<Sample> randomStates(int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> angle(-3.0f, 3.0f), rate(-2.0f, 2.0f), acc(-5.0f, 5.0f);
  std::vector<Sample> out;
  for (int k = 0; k < count; ++k) {
    Sample s{PrVector(6), PrVector(6), PrVector(6)};
    for (int i = 0; i < 6; ++i) {
      s.q[i] = angle(rng);
      s.dq[i] = rate(rng);
      s.ddq[i] = acc(rng);
    }
    out.push_back(std::move(s));
  }
  return out;
}

class ArticulatedDynamics : public ::testing::Test {
 protected:
  void SetUp() override {
    arm = shippedPuma(false);
    ASSERT_TRUE(arm);
  }
  std::unique_ptr<CSimPuma> arm;
};

TEST_F(ArticulatedDynamics, ForwardDynamicsUndoesInverseDynamicsWithoutFriction) {
  PrVector tau, acc;
  for (const Sample& s : randomStates(50, 1)) {
    arm->setState(s.q, s.dq);
    arm->inverseDynamics(tau, s.ddq);
    arm->forwardDynamics(acc, tau);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(acc[i], s.ddq[i], 2e-3f * (1.0f + std::fabs(s.ddq[i]))) << i;
  }
}

// M from the engine's closed sum over links against M built column by column
// from Newton–Euler: τ(q̈ = e_j) − τ(q̈ = 0) at rest is column j of M.
TEST_F(ArticulatedDynamics, MassMatrixIsSymmetricPositiveDefiniteAndMatchesNewtonEuler) {
  PrMatrix M, D, V;
  PrVector base, column;
  const PrVector zero(6);
  for (const Sample& s : randomStates(20, 2)) {
    arm->setState(s.q, zero);
    arm->computeMassMatrix(M);
    arm->inverseDynamics(base, zero);
    for (int j = 0; j < 6; ++j) {
      PrVector unit(6);
      unit[j] = 1.0f;
      arm->inverseDynamics(column, unit);
      for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(M[i][j], column[i] - base[i], 2e-4f * (1.0f + std::fabs(M[i][j])));
      for (int i = 0; i < 6; ++i) EXPECT_EQ(M[i][j], M[j][i]);
    }
    M.symmetricEigen(D, V);
    EXPECT_GT(D[0][0], 0.01f) << "positive definite, with margin";
  }
}

TEST_F(ArticulatedDynamics, GravityTorquesEqualInverseDynamicsAtRest) {
  PrVector g, tau;
  const PrVector zero(6);
  for (const Sample& s : randomStates(20, 3)) {
    arm->setState(s.q, zero);
    arm->computeGravity(g);
    arm->inverseDynamics(tau, zero);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(g[i], tau[i], 1e-3f * (1.0f + std::fabs(tau[i]))) << i;
  }
  // Axis 1 is vertical: gravity never loads it.
  arm->setState(PrVector(6), zero);
  arm->computeGravity(g);
  EXPECT_EQ(g[0], 0.0f);
  EXPECT_LT(g[1], -30.0f) << "the horizontal upper arm needs a large holding torque";
}

// Columns of the point Jacobian against central differences of where the
// point, rigidly attached to link k, goes when each joint moves.
TEST_F(ArticulatedDynamics, PointJacobianMatchesFiniteDifferencesOfLinkFrames) {
  const PrVector zero(6);
  const PrVector3 local(0.05f, -0.1f, 0.2f);
  const float h = 1e-3f;
  for (const Sample& s : randomStates(5, 4)) {
    for (int k = 0; k < 6; ++k) {
      arm->setState(s.q, zero);
      PrTransform frame;
      ASSERT_TRUE(arm->getLinkFrame(k, frame));
      PrMatrix J(6, 6);
      arm->robot().pointJacobian(k, frame * local, J, 6);
      for (int j = 0; j < 6; ++j) {
        PrTransform plus, minus;
        PrVector q = s.q;
        q[j] = s.q[j] + h;
        arm->setState(q, zero);
        arm->getLinkFrame(k, plus);
        q[j] = s.q[j] - h;
        arm->setState(q, zero);
        arm->getLinkFrame(k, minus);
        const PrVector3 dp = (plus * local - minus * local) * (0.5f / h);
        // Angular: the rotation vector of plus·minusᵀ over 2h.
        const PrQuaternion dq = plus.rotation * minus.rotation.conjugate();
        const float sign = dq.w < 0.0f ? -1.0f : 1.0f;
        for (int r = 0; r < 3; ++r) {
          EXPECT_NEAR(J[r][j], dp[r], 2e-3f) << "link " << k << " joint " << j;
          EXPECT_NEAR(J[3 + r][j], sign * dq.v[r] / h, 2e-3f) << "link " << k << " joint " << j;
        }
      }
    }
  }
}

TEST_F(ArticulatedDynamics, PointJacobianRowsAndUntouchedColumns) {
  PrMatrix J6(6, 6), J3(3, 6), J7(6, 6);
  const PrVector3 p(0.3f, 0.1f, 0.4f);
  arm->setState(vec6(0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f), PrVector(6));
  arm->robot().pointJacobian(2, p, J6, 6);
  arm->robot().pointJacobian(2, p, J3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 6; ++c) EXPECT_EQ(J3[r][c], J6[r][c]);
  for (int r = 0; r < 6; ++r)
    for (int c = 3; c < 6; ++c) EXPECT_EQ(J6[r][c], 0.0f) << "columns after the link stay zero";
  testing::internal::CaptureStdout();
  arm->robot().pointJacobian(2, p, J7, 7);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("0 < rows && rows <= 6"), std::string::npos);
  EXPECT_TRUE(J7 == J6);
}

// With neither friction nor torque the swinging arm keeps its total energy.
// The error is measured against the largest kinetic energy of the swing.
TEST_F(ArticulatedDynamics, FreeSwingKeepsItsEnergyOverTenSeconds) {
  for (const PrVector& start :
       {vec6(0.3f, 0.5f, -0.4f, 0.6f, 0.8f, 0.2f), vec6(0.5f, -0.6f, 1.0f, 0.3f, -0.7f, 0.0f)}) {
    arm->setState(start, PrVector(6));
    PrIntegrator integrator(6);
    const double e0 = dyntest::totalEnergy(*arm);
    double worst = 0.0, maxKinetic = 0.0;
    PrMatrix M;
    for (int k = 0; k < 5000; ++k) {
      for (int i = 0; i < 6; ++i) arm->robot().torques()[i] = 0.0f;
      ASSERT_TRUE(integrator.step(arm->robot(), 0.002f));
      arm->robot().updateKinematics();
      const double e = dyntest::totalEnergy(*arm);
      worst = std::max(worst, std::fabs(e - e0));
      arm->computeMassMatrix(M);
      const float* dq = arm->robot().velocities();
      double kinetic = 0.0;
      for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c) kinetic += 0.5 * dq[r] * M[r][c] * dq[c];
      maxKinetic = std::max(maxKinetic, kinetic);
    }
    EXPECT_GT(maxKinetic, 20.0) << "the arm really swings";
    EXPECT_LT(worst, 0.001 * maxKinetic);
    std::printf("free swing: energy error at most %.4f %% of the peak kinetic energy %.1f J\n",
                100.0 * worst / maxKinetic, maxKinetic);
  }
}

// Against MuJoCo's, KDL's and DART's answers for the same arm (the file's
// header says how they were made): float against double, the largest error
// relative to the largest acceleration of each state.
TEST_F(ArticulatedDynamics, ForwardDynamicsAgreesWithThePeerLibrariesOnTheShippedArm) {
  std::FILE* file = std::fopen(KORVEX_TEST_DATA_DIR "/puma560-peer-fd.txt", "r");
  ASSERT_NE(file, nullptr);
  char line[1024];
  int states = 0;
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (line[0] == '#') continue;
    double v[24];
    int used = 0, offset = 0;
    for (int i = 0; i < 24; ++i, offset += used)
      ASSERT_EQ(std::sscanf(line + offset, "%lf%n", &v[i], &used), 1);
    PrVector q(6), dq(6), tau(6), acc;
    for (int i = 0; i < 6; ++i) {
      q[i] = float(v[i]);
      dq[i] = float(v[6 + i]);
      tau[i] = float(v[12 + i]);
    }
    arm->setState(q, dq);
    arm->forwardDynamics(acc, tau);
    double error = 0.0, scale = 0.0;
    for (int i = 0; i < 6; ++i) {
      error = std::max(error, std::fabs(acc[i] - v[18 + i]));
      scale = std::max(scale, std::fabs(v[18 + i]));
    }
    EXPECT_LT(error, 1e-3 * scale) << "state " << states;
    ++states;
  }
  std::fclose(file);
  EXPECT_EQ(states, 10);
}

TEST_F(ArticulatedDynamics, EndEffectorFrameAndAxesAgreeWithTheClosedFormModel) {
  PrVector p;
  PrMatrix J, dJ, Jengine(3, 6);
  for (const Sample& s : randomStates(20, 5)) {
    arm->setState(s.q, s.dq);
    PrTransform ee;
    arm->getEndEffectorFrame(ee);
    puma::operationalPoint(s.q, p);
    for (int r = 0; r < 3; ++r) EXPECT_NEAR(ee.translation[r], p[r], 1e-5f);
    puma::jacobianAndRate(s.q, s.dq, J, dJ);
    Jengine.zero();
    arm->robot().pointJacobian(5, ee.translation, Jengine, 3);
    for (int c = 0; c < 6; ++c) {
      PrTransform frame;
      arm->getLinkFrame(c, frame);
      PrVector3 axis;
      frame.rotation.column(2, axis);
      for (int r = 0; r < 3; ++r) {
        EXPECT_NEAR(Jengine[r][c], J[r][c], 1e-5f);
        EXPECT_NEAR(axis[r], J[3 + r][c], 1e-5f);
      }
    }
  }
}

// The closed-form mass matrix lumps the wrist at the shoulder offset and
// leaves out a3 (see data/README.md): agreement within a few per cent of the
// largest entry is what the two models can give.
TEST_F(ArticulatedDynamics, MassMatrixAgreesCloselyWithTheClosedFormModel) {
  PrMatrix M, Mclosed;
  PrVector b;
  for (const Sample& s : randomStates(20, 6)) {
    arm->setState(s.q, PrVector(6));
    arm->computeMassMatrix(M);
    puma::massMatrixAndCoriolis(s.q, PrVector(6), Mclosed, b);
    float scale = 0.0f;
    for (int i = 0; i < 36; ++i) scale = std::max(scale, std::fabs(Mclosed.dataPtr()[i]));
    for (int i = 0; i < 36; ++i) EXPECT_NEAR(M.dataPtr()[i], Mclosed.dataPtr()[i], 0.03f * scale) << i;
  }
}

}  // namespace
