// Crout LU and Cholesky factorisations of PrMatrix, their solvers and the
// inverses built on them.
//
// Neither factorisation pivots or tests for singularity: the matrices of this
// system (mass matrices, Jacobians of a non-singular arm) do not need it, and a
// zero pivot shows up as non-finite entries that callers detect with isFinite().
#include <cmath>
#include <cstring>

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

namespace {

// Solves L·z = y over x in place (x holds y on entry, its elements stride
// floats apart); L is the lower triangle of f, diagonal included.
void forwardSubstitute(const float* f, int n, float* x, int stride) {
  for (int i = 0; i < n; ++i) {
    const float* l = f + i * n;
    float sum = 0.0f;
    for (int j = 0; j < i; ++j) sum += l[j] * x[j * stride];
    x[i * stride] = (x[i * stride] - sum) / l[i];
  }
}

// Solves U·x = z over x in place; U is the upper triangle of f, above the
// diagonal, with a unit diagonal when unitDiagonal holds and f's own otherwise.
void backSubstitute(const float* f, int n, float* x, int stride, bool unitDiagonal) {
  for (int i = n - 1; i >= 0; --i) {
    const float* u = f + i * n;
    float sum = 0.0f;
    for (int k = i + 1; k < n; ++k) sum += u[k] * x[k * stride];
    x[i * stride] = unitDiagonal ? x[i * stride] - sum : (x[i * stride] - sum) / u[i];
  }
}

// Solves (L·U)·x = y in place: lu holds L with its diagonal on and below the
// diagonal, U with an implicit unit diagonal above it.
void luSolveInPlace(const float* lu, int n, float* x, int stride) {
  forwardSubstitute(lu, n, x, stride);
  backSubstitute(lu, n, x, stride, /*unitDiagonal=*/true);
}

// Solves (L·Lᵀ)·x = y in place; lu holds L below and Lᵀ above the diagonal.
void choleskySolveInPlace(const float* lu, int n, float* x, int stride) {
  forwardSubstitute(lu, n, x, stride);
  backSubstitute(lu, n, x, stride, /*unitDiagonal=*/false);
}

// dest = factored⁻¹, all columns at once: each step combines whole rows, so
// the n columns' sums are independent and the pivots are divided by once
// each, where solving column by column chains every element on the last.
// L's diagonal lies on and below the diagonal of f; U's above it, with a unit
// diagonal when unitDiagonal holds and f's own otherwise.
void invertFromFactors(const PrMatrix& factors, PrMatrix& dest, bool unitDiagonal) {
  const int n = factors.row();
  const float* f = factors.dataPtr();
  float* d = dest.dataPtr();
  // L·Y = I, top down.
  for (int i = 0; i < n; ++i) {
    float* yi = d + i * n;
    for (int c = 0; c < n; ++c) yi[c] = i == c ? 1.0f : 0.0f;
    const float* l = f + i * n;
    for (int j = 0; j < i; ++j) {
      const float* yj = d + j * n;
      for (int c = 0; c < n; ++c) yi[c] -= l[j] * yj[c];
    }
    const float scale = 1.0f / l[i];
    for (int c = 0; c < n; ++c) yi[c] *= scale;
  }
  // U·X = Y, bottom up, over Y's rows.
  for (int i = n - 1; i >= 0; --i) {
    float* xi = d + i * n;
    const float* u = f + i * n;
    for (int k = i + 1; k < n; ++k) {
      const float* xk = d + k * n;
      for (int c = 0; c < n; ++c) xi[c] -= u[k] * xk[c];
    }
    if (!unitDiagonal) {
      const float scale = 1.0f / u[i];
      for (int c = 0; c < n; ++c) xi[c] *= scale;
    }
  }
}

}  // namespace

void PrMatrix::luDecomp(PrMatrix& lu) const {
  PR_ASSERT(m_row == m_col);
  PR_ASSERT(&lu != this);
  const int n = m_row;
  lu.resize(n, n);
  const float* a = m_data;
  float* f = lu.m_data;
  for (int i = 0; i < n; ++i) {
    // Column i of L, on and below the diagonal.
    for (int j = i; j < n; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < i; ++k) sum += f[j * n + k] * f[k * n + i];
      f[j * n + i] = a[j * n + i] - sum;
    }
    // Row i of U, right of the (unit) diagonal.
    for (int j = i + 1; j < n; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < i; ++k) sum += f[i * n + k] * f[k * n + j];
      f[i * n + j] = (a[i * n + j] - sum) / f[i * n + i];
    }
  }
}

void PrMatrix::luSubst(const PrVector& y, PrVector& x) const {
  PR_ASSERT(m_row == m_col);
  PR_ASSERT(m_row == y.size());
  if (&x != &y) {
    x.resize(m_row);
    if (m_row > 0) std::memmove(x.dataPtr(), y.dataPtr(), sizeof(float) * m_row);
  }
  luSolveInPlace(m_data, m_row, x.dataPtr(), 1);
}

void PrMatrix::choleskyDecomp(PrMatrix& lu) const {
  PR_ASSERT(m_row == m_col);
  PR_ASSERT(&lu != this);
  const int n = m_row;
  lu.resize(n, n);
  const float* a = m_data;
  float* f = lu.m_data;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < i; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < j; ++k) sum += f[j * n + k] * f[i * n + k];
      const float lij = (a[i * n + j] - sum) / f[j * n + j];
      f[i * n + j] = lij;
      f[j * n + i] = lij;
    }
    float sum = 0.0f;
    for (int j = 0; j < i; ++j) sum += f[i * n + j] * f[i * n + j];
    f[i * n + i] = std::sqrt(a[i * n + i] - sum);
  }
}

void PrMatrix::choleskySubst(const PrVector& y, PrVector& x) const {
  PR_ASSERT(m_row == m_col);
  PR_ASSERT(m_row == y.size());
  if (&x != &y) {
    x.resize(m_row);
    if (m_row > 0) std::memmove(x.dataPtr(), y.dataPtr(), sizeof(float) * m_row);
  }
  choleskySolveInPlace(m_data, m_row, x.dataPtr(), 1);
}

void PrMatrix::inverse(PrMatrix& dest, PrMatrix& lu) const {
  PR_ASSERT(m_row == m_col);
  PR_ASSERT(&lu != &dest);
  // Factor before touching dest, so that dest may be this matrix itself.
  luDecomp(lu);
  dest.resize(m_row, m_col);
  invertFromFactors(lu, dest, /*unitDiagonal=*/true);
}

void PrMatrix::inverse(PrMatrix& dest) const {
  PrMatrix lu;
  inverse(dest, lu);
}

void PrMatrix::inverseSPD(PrMatrix& dest, PrMatrix& lu) const {
  PR_ASSERT(m_row == m_col);
  PR_ASSERT(&lu != &dest);
  choleskyDecomp(lu);
  dest.resize(m_row, m_col);
  invertFromFactors(lu, dest, /*unitDiagonal=*/false);
}

void PrMatrix::inverseSPD(PrMatrix& dest) const {
  PrMatrix lu;
  inverseSPD(dest, lu);
}
