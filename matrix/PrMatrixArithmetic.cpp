// Element-wise arithmetic and matrix products of PrMatrix.
//
// Every product accumulates each result element in single precision with k
// ascending, whichever loop order is used to walk memory.
#include <cstring>

#include "matrix/PrFixedArithmetic.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

//---- element-wise -----------------------------------------------------------

void PrMatrix::negate(PrMatrix& dest) const {
  dest.resize(m_row, m_col);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = -m_data[i];
}

void PrMatrix::add(const PrMatrix& rhs, PrMatrix& dest) const {
  PR_ASSERT(m_row == rhs.m_row && m_col == rhs.m_col);
  dest.resize(m_row, m_col);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = m_data[i] + rhs.m_data[i];
}

void PrMatrix::subtract(const PrMatrix& rhs, PrMatrix& dest) const {
  PR_ASSERT(m_row == rhs.m_row && m_col == rhs.m_col);
  dest.resize(m_row, m_col);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = m_data[i] - rhs.m_data[i];
}

void PrMatrix::multiply(float s, PrMatrix& dest) const {
  dest.resize(m_row, m_col);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = m_data[i] * s;
}

PrMatrix& PrMatrix::operator+=(const PrMatrix& rhs) {
  add(rhs, *this);
  return *this;
}

PrMatrix& PrMatrix::operator-=(const PrMatrix& rhs) {
  subtract(rhs, *this);
  return *this;
}

PrMatrix& PrMatrix::operator*=(float s) {
  multiply(s, *this);
  return *this;
}

//---- products -----------------------------------------------------------------

void PrMatrix::multiply(const PrMatrix& rhs, PrMatrix& dest, bool transposeRhs) const {
  if (transposeRhs) {
    PR_ASSERT(m_col == rhs.m_col);
  } else {
    PR_ASSERT(m_col == rhs.m_row);
  }
  PR_ASSERT(&dest != &rhs && &dest != this);
  const int n = transposeRhs ? rhs.m_row : rhs.m_col;
  dest.resize(m_row, n);
  if (m_row == 6 && m_col == 6 && n == 6) {
    // The servo's 6×6 products every tick: the unrolled kernel adds in the same order.
    fixedsize::multiply<6>(m_data, rhs.m_data, dest.m_data, transposeRhs);
    return;
  }
  for (int i = 0; i < m_row; ++i) {
    const float* a = m_data + i * m_col;
    float* out = dest.m_data + i * n;
    if (transposeRhs) {
      // dest(i, j) = row i of this · row j of rhs
      for (int j = 0; j < n; ++j) {
        const float* b = rhs.m_data + j * rhs.m_col;
        float sum = 0.0f;
        for (int k = 0; k < m_col; ++k) sum += a[k] * b[k];
        out[j] = sum;
      }
    } else {
      // dest(i, :) = Σk this(i, k) · rhs(k, :)
      for (int j = 0; j < n; ++j) out[j] = 0.0f;
      for (int k = 0; k < m_col; ++k) {
        const float aik = a[k];
        const float* b = rhs.m_data + k * n;
        for (int j = 0; j < n; ++j) out[j] += aik * b[j];
      }
    }
  }
}

void PrMatrix::multiplyInPlace(const PrMatrix& rhs, bool transposeRhs, PrVector* work) {
  if (rhs.m_row != rhs.m_col) {
    // The result has another shape, so it cannot be built row by row over this.
    PrMatrix product(nullptr, m_row, transposeRhs ? rhs.m_row : rhs.m_col);
    multiply(rhs, product, transposeRhs);
    transfer(product);
    return;
  }
  if (transposeRhs) {
    PR_ASSERT(m_col == rhs.m_col);
  } else {
    PR_ASSERT(m_col == rhs.m_row);
  }
  PR_ASSERT(&rhs != this);
  PrVector local;
  PrVector& row = work != nullptr ? *work : local;
  row.resize(m_col);
  float* w = row.dataPtr();
  const int n = m_col;
  for (int r = 0; r < m_row; ++r) {
    float* a = m_data + r * n;
    if (transposeRhs) {
      for (int j = 0; j < n; ++j) {
        const float* b = rhs.m_data + j * n;
        float sum = 0.0f;
        for (int k = 0; k < n; ++k) sum += a[k] * b[k];
        w[j] = sum;
      }
    } else {
      for (int j = 0; j < n; ++j) w[j] = 0.0f;
      for (int k = 0; k < n; ++k) {
        const float ark = a[k];
        const float* b = rhs.m_data + k * n;
        for (int j = 0; j < n; ++j) w[j] += ark * b[j];
      }
    }
    std::memcpy(a, w, sizeof(float) * n);
  }
}

void PrMatrix::multiply(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(m_col == rhs.size());
  PR_ASSERT(&dest != &rhs);
  dest.resize(m_row);
  const float* x = rhs.dataPtr();
  float* out = dest.dataPtr();
  for (int i = 0; i < m_row; ++i) {
    const float* a = m_data + i * m_col;
    float sum = 0.0f;
    for (int k = 0; k < m_col; ++k) sum += a[k] * x[k];
    out[i] = sum;
  }
}

void PrMatrix::transposedMultiply(const PrMatrix& rhs, PrMatrix& dest) const {
  PR_ASSERT(m_row == rhs.m_row);
  PR_ASSERT(&dest != &rhs && &dest != this);
  const int n = rhs.m_col;
  dest.resize(m_col, n);
  if (m_row == 6 && m_col == 6 && n == 6) {
    fixedsize::transposedMultiply<6>(m_data, rhs.m_data, dest.m_data);
    return;
  }
  dest.zero();
  // dest(i, :) += this(k, i) · rhs(k, :), k ascending
  for (int k = 0; k < m_row; ++k) {
    const float* a = m_data + k * m_col;
    const float* b = rhs.m_data + k * n;
    for (int i = 0; i < m_col; ++i) {
      const float aki = a[i];
      float* out = dest.m_data + i * n;
      for (int j = 0; j < n; ++j) out[j] += aki * b[j];
    }
  }
}

void PrMatrix::transposedMultiply(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(m_row == rhs.size());
  PR_ASSERT(&dest != &rhs);
  dest.resize(m_col);
  const float* x = rhs.dataPtr();
  float* out = dest.dataPtr();
  for (int i = 0; i < m_col; ++i) out[i] = 0.0f;
  for (int k = 0; k < m_row; ++k) {
    const float* a = m_data + k * m_col;
    const float xk = x[k];
    for (int i = 0; i < m_col; ++i) out[i] += a[i] * xk;
  }
}

void PrMatrix::preMultiply(const PrMatrix& mult, PrVector* work) {
  PR_ASSERT(mult.row() == mult.column() && mult.column() == m_row);
  // Columns of this are overwritten while mult is still being read.
  PR_ASSERT(&mult != this);
  PrVector local;
  PrVector& column = work != nullptr ? *work : local;
  column.resize(m_row);
  float* w = column.dataPtr();
  const int n = m_row;
  for (int c = 0; c < m_col; ++c) {
    for (int k = 0; k < n; ++k) w[k] = m_data[k * m_col + c];
    for (int j = 0; j < n; ++j) {
      const float* m = mult.m_data + j * n;
      float sum = 0.0f;
      for (int k = 0; k < n; ++k) sum += m[k] * w[k];
      m_data[j * m_col + c] = sum;
    }
  }
}

void PrMatrix::transpose(PrMatrix& dest) const {
  PR_ASSERT(&dest != this);
  dest.resize(m_col, m_row);
  for (int r = 0; r < m_row; ++r) {
    for (int c = 0; c < m_col; ++c) dest.m_data[c * m_row + r] = m_data[r * m_col + c];
  }
}

//---- value-returning forms ----------------------------------------------------

PrMatrix PrMatrix::operator+(const PrMatrix& rhs) const {
  PrMatrix result(nullptr, m_row, m_col);
  add(rhs, result);
  return result;
}

PrMatrix PrMatrix::operator-(const PrMatrix& rhs) const {
  PrMatrix result(nullptr, m_row, m_col);
  subtract(rhs, result);
  return result;
}

PrMatrix PrMatrix::operator-() const {
  PrMatrix result(nullptr, m_row, m_col);
  negate(result);
  return result;
}

PrMatrix PrMatrix::operator*(float s) const {
  PrMatrix result(nullptr, m_row, m_col);
  multiply(s, result);
  return result;
}

PrMatrix PrMatrix::operator*(const PrMatrix& rhs) const {
  PrMatrix result(nullptr, m_row, rhs.m_col);
  multiply(rhs, result);
  return result;
}

PrVector PrMatrix::operator*(const PrVector& rhs) const {
  PrVector result(nullptr, m_row);
  multiply(rhs, result);
  return result;
}
