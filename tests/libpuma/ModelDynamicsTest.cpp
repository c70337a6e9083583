// The closed-form mass matrix and Coriolis vector: structure, and b against
// Christoffel symbols built from finite differences of M.
#include <gtest/gtest.h>

#include <Eigen/Eigenvalues>

#include "ModelTestSupport.h"
#include "libpuma/PumaDynamics.h"

using namespace modeltest;

namespace {

constexpr int kStates = 40;

void randomState(std::mt19937& rng, double q[6], double dq[6]) {
  randomJoints(rng, q);
  std::uniform_real_distribution<double> rate(-2.0, 2.0);
  for (int i = 0; i < 6; ++i) dq[i] = rate(rng);
}

TEST(ModelDynamics, MassMatrixIsSymmetricPositiveDefiniteWithItsFixedEntries) {
  std::mt19937 rng(21);
  PrMatrix M0;
  PrVector b;
  for (int n = 0; n < kStates; ++n) {
    double q[6];
    randomJoints(rng, q);
    PrMatrix M;
    puma::massMatrixAndCoriolis(toPr(q, 6), PrVector(6), M, b);
    ASSERT_EQ(M.row(), 6);
    ASSERT_EQ(M.column(), 6);
    Eigen::Matrix<double, 6, 6> Me;
    for (int r = 0; r < 6; ++r) {
      for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(M(r, c), M(c, r));
        Me(r, c) = M(r, c);
      }
    }
    EXPECT_EQ(M(3, 4), 0.0f);
    EXPECT_EQ(M(4, 5), 0.0f);
    if (n == 0) M0 = M;
    EXPECT_EQ(M(5, 5), M0(5, 5));
    using Solver = Eigen::SelfAdjointEigenSolver<Eigen::Matrix<double, 6, 6>>;
    EXPECT_GT(Solver(Me).eigenvalues().minCoeff(), 0.0) << "pose " << n;
    // No velocity, no Coriolis torque.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(b[i], 0.0f);
  }
}

TEST(ModelDynamics, MassMatrixDependsOnJointsTwoToFiveOnly) {
  std::mt19937 rng(22);
  double q[6];
  randomJoints(rng, q);
  PrMatrix M, M2;
  PrVector b;
  puma::massMatrixAndCoriolis(toPr(q, 6), PrVector(6), M, b);
  q[0] += 1.1;
  q[5] -= 0.7;
  puma::massMatrixAndCoriolis(toPr(q, 6), PrVector(6), M2, b);
  EXPECT_TRUE(M == M2);
}

// b[i] = Σj Σk (∂M[i][j]/∂θk - ½ ∂M[j][k]/∂θi) dq[j] dq[k] with every partial
// derivative taken by central differences of M.
TEST(ModelDynamics, CoriolisMatchesChristoffelSymbolsOfTheMassMatrix) {
  std::mt19937 rng(23);
  const double h = 1e-3;
  for (int n = 0; n < kStates; ++n) {
    double q[6], dq[6];
    randomState(rng, q, dq);
    PrMatrix M;
    PrVector b;
    puma::massMatrixAndCoriolis(toPr(q, 6), toPr(dq, 6), M, b);

    double dM[6][6][6];  // dM[k][i][j] = ∂M[i][j]/∂θk
    for (int k = 0; k < 6; ++k) {
      double qp[6], qm[6];
      std::copy(q, q + 6, qp);
      std::copy(q, q + 6, qm);
      qp[k] += h;
      qm[k] -= h;
      PrMatrix Mp, Mm;
      PrVector unused;
      puma::massMatrixAndCoriolis(toPr(qp, 6), PrVector(6), Mp, unused);
      puma::massMatrixAndCoriolis(toPr(qm, 6), PrVector(6), Mm, unused);
      for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j) dM[k][i][j] = (double(Mp(i, j)) - Mm(i, j)) / (2 * h);
      }
    }
    for (int i = 0; i < 6; ++i) {
      double expected = 0.0;
      for (int j = 0; j < 6; ++j) {
        for (int k = 0; k < 6; ++k) expected += (dM[k][i][j] - 0.5 * dM[i][j][k]) * dq[j] * dq[k];
      }
      EXPECT_NEAR(b[i], expected, 2e-3 + 1e-3 * std::abs(expected)) << "state " << n << " joint " << i;
    }
  }
}

// Without torques and gravity the kinetic energy ½ dqᵀ M dq is conserved,
// which needs dqᵀ b = ½ dqᵀ Ṁ dq; b is also quadratic in the velocity.
TEST(ModelDynamics, CoriolisConservesKineticEnergyAndScalesWithVelocitySquared) {
  std::mt19937 rng(24);
  const double h = 1e-3;
  for (int n = 0; n < kStates; ++n) {
    double q[6], dq[6], qp[6], qm[6], dq2[6];
    randomState(rng, q, dq);
    for (int i = 0; i < 6; ++i) {
      qp[i] = q[i] + h * dq[i];
      qm[i] = q[i] - h * dq[i];
      dq2[i] = 2 * dq[i];
    }
    PrMatrix M, Mp, Mm;
    PrVector b, b2, unused;
    puma::massMatrixAndCoriolis(toPr(q, 6), toPr(dq, 6), M, b);
    puma::massMatrixAndCoriolis(toPr(q, 6), toPr(dq2, 6), M, b2);
    puma::massMatrixAndCoriolis(toPr(qp, 6), PrVector(6), Mp, unused);
    puma::massMatrixAndCoriolis(toPr(qm, 6), PrVector(6), Mm, unused);
    double power = 0.0, halfMdot = 0.0;
    for (int i = 0; i < 6; ++i) {
      power += dq[i] * b[i];
      for (int j = 0; j < 6; ++j) halfMdot += 0.5 * dq[i] * dq[j] * (double(Mp(i, j)) - Mm(i, j)) / (2 * h);
      EXPECT_NEAR(b2[i], 4.0 * b[i], 1e-5 + 1e-5 * std::abs(b2[i]));
    }
    EXPECT_NEAR(power, halfMdot, 5e-3 + 1e-3 * std::abs(halfMdot)) << "state " << n;
  }
}

}  // namespace
