// Rank and pseudo-inverses of PrMatrix, built on its singular value decomposition.
#include <algorithm>

#include "matrix/PrMatrix.h"

namespace {

// Number of singular values kept for the given tolerance: none when the
// tolerance reaches the largest one (an absolute test), otherwise the largest
// plus every further one above tolerance × largest (a relative test).
int retainedCount(const PrMatrix& S, float tolerance) {
  const int p = std::min(S.row(), S.column());
  if (p == 0) return 0;
  const float s0 = S(0, 0);
  if (tolerance >= s0) return 0;
  int count = 1;
  for (int i = 1; i < p; ++i) {
    if (S(i, i) > tolerance * s0) ++count;
  }
  return count;
}

// dest (n×m) = Σk<p V(:, k) · (1 / S(k, k)) · U(:, k)ᵀ
void reciprocalProduct(const PrMatrix& U, const PrMatrix& S, const PrMatrix& V, int p, PrMatrix& dest) {
  const int m = U.row();
  const int n = V.row();
  dest.resize(n, m);
  if (p == 0) {
    dest.zero();
    return;
  }
  PrMatrix scaledV(nullptr, n, p);
  V.getSubmatrix(0, 0, scaledV);
  for (int k = 0; k < p; ++k) {
    const float reciprocal = 1.0f / S(k, k);
    for (int r = 0; r < n; ++r) scaledV(r, k) *= reciprocal;
  }
  PrMatrix leadingU(nullptr, m, p);
  U.getSubmatrix(0, 0, leadingU);
  scaledV.multiply(leadingU, dest, true);
}

}  // namespace

int PrMatrix::rank(float tolerance) const {
  PrMatrix U, S, V;
  svd(U, S, V);
  return retainedCount(S, tolerance);
}

void PrMatrix::pseudoInverse(PrMatrix& dest, float tolerance) const {
  PrMatrix U, S, V;
  svd(U, S, V);
  PrMatrix result;
  reciprocalProduct(U, S, V, retainedCount(S, tolerance), result);
  dest.transfer(result);
}

void PrMatrix::pseudoInverseClamped(PrMatrix& dest) const {
  PrMatrix U, S, V;
  svd(U, S, V);
  // Near-zero singular values act as ±0.001, which keeps the result finite
  // (and large) close to a singularity instead of dropping the direction.
  const int p = std::min(m_row, m_col);
  for (int i = 0; i < p; ++i) {
    float& s = S(i, i);
    if (s > -0.001f && s < 0.001f) s = s >= 0.0f ? 0.001f : -0.001f;
  }
  PrMatrix result;
  reciprocalProduct(U, S, V, p, result);
  dest.transfer(result);
}
