#include "matrix/PrMatrix6.h"

#include "matrix/PrFixedArithmetic.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrVector.h"
#include "utility/consolePrint.h"

PrMatrix6::PrMatrix6(const float* data, bool colMajor) : PrMatrix(6, 6, m_m), m_m{} {
  if (data == nullptr) return;
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 6; ++c) m_m[6 * r + c] = colMajor ? data[6 * c + r] : data[6 * r + c];
  }
}

PrMatrix6::PrMatrix6(const PrMatrix3& topLeft, const PrMatrix3& topRight, const PrMatrix3& bottomLeft,
                     const PrMatrix3& bottomRight)
    : PrMatrix(6, 6, m_m) {
  setSubmatrix(0, 0, topLeft);
  setSubmatrix(0, 3, topRight);
  setSubmatrix(3, 0, bottomLeft);
  setSubmatrix(3, 3, bottomRight);
}

PrMatrix6::PrMatrix6(const PrMatrix& rhs) : PrMatrix(6, 6, m_m) {
  PR_ASSERT(rhs.row() == 6 && rhs.column() == 6);
  fixedsize::copy<36>(rhs.dataPtr(), m_m);
}

PrMatrix6::PrMatrix6(const PrMatrix6& rhs) : PrMatrix(6, 6, m_m) { fixedsize::copy<36>(rhs.m_m, m_m); }

PrMatrix6& PrMatrix6::operator=(const PrMatrix6& rhs) {
  fixedsize::copy<36>(rhs.m_m, m_m);
  return *this;
}

void PrMatrix6::resize(int row, int col) { PR_ASSERT(row == 6 && col == 6); }

//---- diagonal, rows, columns, blocks -------------------------------------------

void PrMatrix6::setDiagonal(float d0, float d1, float d2, float d3, float d4, float d5) {
  m_m[0] = d0;
  m_m[7] = d1;
  m_m[14] = d2;
  m_m[21] = d3;
  m_m[28] = d4;
  m_m[35] = d5;
}

void PrMatrix6::setDiagonal(const PrVector& src) {
  PR_ASSERT(src.size() == 6);
  const float* s = src.dataPtr();
  for (int i = 0; i < 6; ++i) m_m[7 * i] = s[i];
}

PrVector6 PrMatrix6::getDiagonal() const {
  return PrVector6(m_m[0], m_m[7], m_m[14], m_m[21], m_m[28], m_m[35]);
}

void PrMatrix6::getDiagonal(PrVector& dest) const {
  dest.resize(6);
  float* d = dest.dataPtr();
  for (int i = 0; i < 6; ++i) d[i] = m_m[7 * i];
}

void PrMatrix6::getRow(int row, PrVector& dest) const {
  PR_ASSERT(row >= 0 && row < 6);
  dest.resize(6);
  float* d = dest.dataPtr();
  for (int c = 0; c < 6; ++c) d[c] = m_m[6 * row + c];
}

void PrMatrix6::getColumn(int col, PrVector& dest) const {
  PR_ASSERT(col >= 0 && col < 6);
  dest.resize(6);
  float* d = dest.dataPtr();
  for (int r = 0; r < 6; ++r) d[r] = m_m[6 * r + col];
}

void PrMatrix6::getSubmatrix(int row, int col, PrMatrix& dest) const {
  if (dest.row() != 3 || dest.column() != 3) {
    PrMatrix::getSubmatrix(row, col, dest);
    return;
  }
  PR_ASSERT(row >= 0 && row <= 3);
  PR_ASSERT(col >= 0 && col <= 3);
  float* d = dest.dataPtr();
  const float* s = m_m + 6 * row + col;
  for (int r = 0; r < 3; ++r) {
    d[3 * r + 0] = s[6 * r + 0];
    d[3 * r + 1] = s[6 * r + 1];
    d[3 * r + 2] = s[6 * r + 2];
  }
}

void PrMatrix6::setSubmatrix(int row, int col, const PrMatrix& src) {
  if (src.row() != 3 || src.column() != 3) {
    PrMatrix::setSubmatrix(row, col, src);
    return;
  }
  PR_ASSERT(row >= 0 && row <= 3);
  PR_ASSERT(col >= 0 && col <= 3);
  const float* s = src.dataPtr();
  float* d = m_m + 6 * row + col;
  for (int r = 0; r < 3; ++r) {
    d[6 * r + 0] = s[3 * r + 0];
    d[6 * r + 1] = s[3 * r + 1];
    d[6 * r + 2] = s[3 * r + 2];
  }
}

void PrMatrix6::zero() {
  for (float& e : m_m) e = 0.0f;
}

void PrMatrix6::identity() {
  zero();
  for (int i = 0; i < 6; ++i) m_m[7 * i] = 1.0f;
}

void PrMatrix6::negate(PrMatrix& dest) const {
  dest.resize(6, 6);
  fixedsize::negate<36>(m_m, dest.dataPtr());
}

//---- arithmetic ----------------------------------------------------------------

void PrMatrix6::add(const PrMatrix& rhs, PrMatrix& dest) const {
  PR_ASSERT(rhs.row() == 6 && rhs.column() == 6);
  dest.resize(6, 6);
  fixedsize::add<36>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix6::subtract(const PrMatrix& rhs, PrMatrix& dest) const {
  PR_ASSERT(rhs.row() == 6 && rhs.column() == 6);
  dest.resize(6, 6);
  fixedsize::subtract<36>(m_m, rhs.dataPtr(), dest.dataPtr());
}

PrMatrix6& PrMatrix6::operator+=(const PrMatrix& rhs) {
  add(rhs, *this);
  return *this;
}

PrMatrix6& PrMatrix6::operator-=(const PrMatrix& rhs) {
  subtract(rhs, *this);
  return *this;
}

void PrMatrix6::multiply(float s, PrMatrix& dest) const {
  dest.resize(6, 6);
  fixedsize::scale<36>(m_m, s, dest.dataPtr());
}

PrMatrix6& PrMatrix6::operator*=(float s) {
  multiply(s, *this);
  return *this;
}

void PrMatrix6::multiply(const PrMatrix& rhs, PrMatrix& dest, bool transposeRhs) const {
  if (rhs.row() != 6 || rhs.column() != 6) {
    PrMatrix::multiply(rhs, dest, transposeRhs);
    return;
  }
  PR_ASSERT(&dest != static_cast<const PrMatrix*>(this) && &dest != &rhs);
  dest.resize(6, 6);
  fixedsize::multiply<6>(m_m, rhs.dataPtr(), dest.dataPtr(), transposeRhs);
}

void PrMatrix6::multiply(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(&dest != &rhs);
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  fixedsize::multiplyVector<6>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix6::transposedMultiply(const PrMatrix& rhs, PrMatrix& dest) const {
  if (rhs.row() != 6 || rhs.column() != 6) {
    PrMatrix::transposedMultiply(rhs, dest);
    return;
  }
  PR_ASSERT(&dest != static_cast<const PrMatrix*>(this) && &dest != &rhs);
  dest.resize(6, 6);
  fixedsize::transposedMultiply<6>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix6::transposedMultiply(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(&dest != &rhs);
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  fixedsize::transposedMultiplyVector<6>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix6::transpose(PrMatrix& dest) const {
  PR_ASSERT(&dest != static_cast<const PrMatrix*>(this));
  dest.resize(6, 6);
  fixedsize::transpose<6>(m_m, dest.dataPtr());
}

PrMatrix6 PrMatrix6::operator+(const PrMatrix& rhs) const {
  PrMatrix6 sum;
  add(rhs, sum);
  return sum;
}

PrMatrix6 PrMatrix6::operator-(const PrMatrix& rhs) const {
  PrMatrix6 difference;
  subtract(rhs, difference);
  return difference;
}

PrMatrix6 PrMatrix6::operator-() const {
  PrMatrix6 negated;
  negate(negated);
  return negated;
}

PrMatrix6 PrMatrix6::operator*(float s) const {
  PrMatrix6 scaled;
  multiply(s, scaled);
  return scaled;
}

PrMatrix6 PrMatrix6::operator*(const PrMatrix6& rhs) const {
  PrMatrix6 product;
  multiply(rhs, product);
  return product;
}

PrVector6 PrMatrix6::operator*(const PrVector& rhs) const {
  PrVector6 product;
  multiply(rhs, product);
  return product;
}

void PrMatrix6::display(const char* name) const {
  if (name != nullptr) consolePrint("%s =\n", name);
  for (int r = 0; r < 6; ++r) {
    const float* e = m_m + 6 * r;
    consolePrint("[%f %f %f %f %f %f]\n", e[0], e[1], e[2], e[3], e[4], e[5]);
  }
}
