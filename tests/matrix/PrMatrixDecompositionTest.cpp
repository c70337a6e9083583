// Factorisations checked against independent computations: reconstruction of
// the input from its factors, products with the inverse, the Moore-Penrose
// conditions and the normal-equation form of the pseudo-inverse.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

using prtest::assertionText;
using prtest::expectIdentity;
using prtest::expectNear;
using prtest::randomMatrix;
using prtest::referenceProduct;
using prtest::referenceTranspose;

namespace {

// A rank-2 3×3 matrix: the third row is the sum of the first two.
PrMatrix rankTwo() {
  const float values[] = {1, 2, 3, 4, 5, 6, 5, 7, 9};
  return PrMatrix(values, 3, 3);
}

}  // namespace

TEST(PrMatrixLu, FactorsReproduceTheMatrixAndTheInverseIsTwoSided) {
  for (int n : {1, 2, 4, 7}) {
    SCOPED_TRACE(n);
    const PrMatrix a = prtest::diagonallyDominant(n, 100 + n);
    PrMatrix lu;
    a.luDecomp(lu);
    // L with its diagonal on and below, U with a unit diagonal above.
    PrMatrix l(n, n), u(n, n);
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) {
        if (c <= r) l(r, c) = lu(r, c);
        if (c >= r) u(r, c) = c == r ? 1.0f : lu(r, c);
      }
    }
    expectNear(referenceProduct(l, u), a, 2e-5f * float(n));

    PrMatrix inv;
    a.inverse(inv);
    expectIdentity(referenceProduct(a, inv), 1e-5f);
    expectIdentity(referenceProduct(inv, a), 1e-5f);

    const PrVector y = prtest::randomVector(n, 200 + n);
    PrVector x;
    lu.luSubst(y, x);
    PrVector ax;
    a.multiply(x, ax);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(ax[i], y[i], 1e-5f);
    PrVector inPlace(y);
    lu.luSubst(inPlace, inPlace);
    EXPECT_EQ(inPlace, x);
  }
}

TEST(PrMatrixLu, InverseIntoItselfAndWithACallersFactorMatrix) {
  const PrMatrix a = prtest::diagonallyDominant(5, 7);
  PrMatrix expected;
  a.inverse(expected);
  PrMatrix self(a);
  self.inverse(self);
  EXPECT_EQ(self, expected);
  PrMatrix dest, lu;
  a.inverse(dest, lu);
  EXPECT_EQ(dest, expected);
}

TEST(PrMatrixLu, ZeroPivotGivesNonFiniteEntries) {
  const float values[] = {0, 1, 1, 0};  // invertible, but needs a row swap
  PrMatrix inv;
  PrMatrix(values, 2, 2).inverse(inv);
  EXPECT_FALSE(inv.isFinite());
}

TEST(PrMatrixCholesky, FactorsReproduceTheMatrixAndTheInverseIsTwoSided) {
  for (int n : {1, 3, 6}) {
    SCOPED_TRACE(n);
    const PrMatrix a = prtest::symmetricPositiveDefinite(n, 300 + n);
    PrMatrix lu;
    a.choleskyDecomp(lu);
    EXPECT_EQ(lu, referenceTranspose(lu));  // L below, Lᵀ above
    PrMatrix l(n, n);
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c <= r; ++c) l(r, c) = lu(r, c);
    }
    expectNear(referenceProduct(l, l, true), a, 1e-4f * float(n));

    PrMatrix inv, scratch;
    a.inverseSPD(inv, scratch);
    expectIdentity(referenceProduct(a, inv), 1e-5f);
    expectIdentity(referenceProduct(inv, a), 1e-5f);
    PrMatrix viaLu;
    a.inverse(viaLu);
    expectNear(inv, viaLu, 1e-5f);

    const PrVector y = prtest::randomVector(n, 400 + n);
    PrVector x;
    lu.choleskySubst(y, x);
    PrVector ax;
    a.multiply(x, ax);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(ax[i], y[i], 1e-4f);
  }
}

TEST(PrMatrixCholesky, IndefiniteMatrixGivesNonFiniteEntries) {
  const float values[] = {1, 2, 2, 1};
  PrMatrix inv;
  PrMatrix(values, 2, 2).inverseSPD(inv);
  EXPECT_FALSE(inv.isFinite());
}

TEST(PrMatrixSvd, FullFactorsReconstructSquareAndRectangularMatrices) {
  for (auto [m, n] : {std::pair{4, 4}, std::pair{3, 5}, std::pair{5, 3}, std::pair{1, 6}}) {
    SCOPED_TRACE(testing::Message() << m << "x" << n);
    const PrMatrix a = randomMatrix(m, n, 10 * m + n);
    PrMatrix u, s, v;
    a.svd(u, s, v);
    ASSERT_EQ(u.row(), m);
    ASSERT_EQ(u.column(), m);
    ASSERT_EQ(s.row(), m);
    ASSERT_EQ(s.column(), n);
    ASSERT_EQ(v.row(), n);
    ASSERT_EQ(v.column(), n);
    expectIdentity(referenceProduct(referenceTranspose(u), u), 1e-5f);
    expectIdentity(referenceProduct(referenceTranspose(v), v), 1e-5f);
    expectNear(referenceProduct(referenceProduct(u, s), v, true), a, 1e-5f);
    for (int i = 0; i < std::min(m, n); ++i) {
      EXPECT_GE(s(i, i), 0.0f);
      if (i > 0) {
        EXPECT_LE(s(i, i), s(i - 1, i - 1));
      }
    }
    PrMatrix offDiagonal(s);
    offDiagonal.setDiagonal(0.0f);
    EXPECT_TRUE(offDiagonal.isZero());
  }
}

TEST(PrMatrixSymmetricEigen, ReconstructsFromTheLowerTriangleWithAscendingValues) {
  // Shifted so that some eigenvalues are negative.
  PrMatrix a = prtest::symmetricPositiveDefinite(5, 55);
  for (int i = 0; i < 5; ++i) a(i, i) -= 8.0f;
  PrMatrix lowerOnly(a);
  for (int r = 0; r < 5; ++r) {
    for (int c = r + 1; c < 5; ++c) lowerOnly(r, c) = 1e6f;  // must be ignored
  }
  PrMatrix d, v;
  lowerOnly.symmetricEigen(d, v);
  expectIdentity(referenceProduct(referenceTranspose(v), v), 1e-5f);
  expectNear(referenceProduct(referenceProduct(v, d), v, true), a, 1e-4f);
  for (int i = 1; i < 5; ++i) EXPECT_LE(d(i - 1, i - 1), d(i, i));
  // Each column of V is an eigenvector: A·v = λ·v
  const PrMatrix av = referenceProduct(a, v);
  for (int c = 0; c < 5; ++c) {
    for (int r = 0; r < 5; ++r) EXPECT_NEAR(av(r, c), d(c, c) * v(r, c), 1e-4f);
  }
}

TEST(PrMatrixRank, ZeroSingularAndFullRank) {
  for (float tolerance : {0.0f, 1e-6f, 0.5f}) {
    EXPECT_EQ(PrMatrix(3, 4).rank(tolerance), 0);
  }
  EXPECT_EQ(rankTwo().rank(1e-5f), 2);
  EXPECT_EQ(prtest::diagonallyDominant(4, 1).rank(1e-5f), 4);
  EXPECT_EQ(randomMatrix(3, 6, 2).rank(1e-5f), 3);
  EXPECT_EQ(PrMatrix().rank(0.0f), 0);
  // The first test is absolute: a tolerance at the largest singular value drops everything.
  PrMatrix diag(2, 2);
  diag(0, 0) = 2.0f;
  diag(1, 1) = 0.5f;
  EXPECT_EQ(diag.rank(2.0f), 0);
  EXPECT_EQ(diag.rank(0.3f), 1);  // 0.5 is not above 0.3 × 2
  EXPECT_EQ(diag.rank(0.2f), 2);
}

TEST(PrMatrixPseudoInverse, ZeroMatrixGivesTheTransposedZero) {
  PrMatrix dest = randomMatrix(2, 2, 3);
  PrMatrix(3, 5).pseudoInverse(dest, 1e-6f);
  EXPECT_EQ(dest.row(), 5);
  EXPECT_EQ(dest.column(), 3);
  EXPECT_TRUE(dest.isZero());
}

TEST(PrMatrixPseudoInverse, SatisfiesTheMoorePenroseConditionsForASingularMatrix) {
  const PrMatrix a = rankTwo();
  PrMatrix pinv;
  a.pseudoInverse(pinv, 1e-5f);
  ASSERT_TRUE(pinv.isFinite());
  expectNear(referenceProduct(referenceProduct(a, pinv), a), a, 1e-4f);
  expectNear(referenceProduct(referenceProduct(pinv, a), pinv), pinv, 1e-4f);
  const PrMatrix apinv = referenceProduct(a, pinv);
  expectNear(apinv, referenceTranspose(apinv), 1e-5f);
}

TEST(PrMatrixPseudoInverse, FullRowRankMatchesTheNormalEquations) {
  // A⁺ = Aᵀ(A·Aᵀ)⁻¹ for a wide matrix of full row rank.
  const PrMatrix a = randomMatrix(3, 6, 21);
  PrMatrix pinv;
  a.pseudoInverse(pinv, 1e-6f);
  PrMatrix gramInverse;
  referenceProduct(a, a, true).inverse(gramInverse);
  expectNear(pinv, referenceProduct(referenceTranspose(a), gramInverse), 1e-4f);

  PrMatrix self(a);
  self.pseudoInverse(self, 1e-6f);
  EXPECT_EQ(self, pinv);
}

TEST(PrMatrixPseudoInverse, ClampedStaysFiniteAtASingularityAndEqualsTheInverseAwayFromIt) {
  PrMatrix pinv;
  rankTwo().pseudoInverseClamped(pinv);
  EXPECT_TRUE(pinv.isFinite());
  PrMatrix(4, 4).pseudoInverseClamped(pinv);
  EXPECT_TRUE(pinv.isFinite());
  // All singular values of the zero matrix act as 0.001: A⁺ = V·1000·Uᵀ, an orthogonal matrix × 1000.
  expectIdentity(referenceProduct(referenceTranspose(pinv), pinv) * 1e-6f, 1e-5f);

  const PrMatrix a = prtest::diagonallyDominant(4, 9);
  PrMatrix inv;
  a.inverse(inv);
  a.pseudoInverseClamped(pinv);
  expectNear(pinv, inv, 1e-5f);
}

TEST(PrMatrixDecompositionDeathTest, SquareAndAliasingPreconditions) {
  PrMatrix wide(2, 3), lu;
  EXPECT_DEATH(wide.inverse(lu), assertionText("m_row == m_col"));
  EXPECT_DEATH(wide.luDecomp(lu), assertionText("m_row == m_col"));
  EXPECT_DEATH(wide.symmetricEigen(lu, lu), assertionText("m_row == m_col"));
  PrMatrix sq = prtest::diagonallyDominant(3, 1);
  EXPECT_DEATH(sq.luDecomp(sq), assertionText("&lu != this"));
  EXPECT_DEATH(sq.choleskyDecomp(sq), assertionText("&lu != this"));
  EXPECT_DEATH(sq.inverse(lu, lu), assertionText("&lu != &dest"));
  PrVector y(2), x;
  EXPECT_DEATH(sq.luSubst(y, x), assertionText("m_row == y.size()"));
  EXPECT_DEATH(sq.choleskySubst(y, x), assertionText("m_row == y.size()"));
}
