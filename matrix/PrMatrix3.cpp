#include "matrix/PrMatrix3.h"

#include <cmath>

#include "matrix/PrFixedArithmetic.h"
#include "matrix/PrVector.h"
#include "utility/consolePrint.h"

PrMatrix3::PrMatrix3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
                     float m22)
    : PrMatrix(3, 3, m_m), m_m{m00, m01, m02, m10, m11, m12, m20, m21, m22} {}

PrMatrix3::PrMatrix3(const PrMatrix& rhs) : PrMatrix(3, 3, m_m) {
  PR_ASSERT(rhs.row() == 3 && rhs.column() == 3);
  fixedsize::copy<9>(rhs.dataPtr(), m_m);
}

PrMatrix3::PrMatrix3(const PrMatrix3& rhs) : PrMatrix(3, 3, m_m) { fixedsize::copy<9>(rhs.m_m, m_m); }

PrMatrix3& PrMatrix3::operator=(const PrMatrix3& rhs) {
  fixedsize::copy<9>(rhs.m_m, m_m);
  return *this;
}

void PrMatrix3::set(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
                    float m22, bool colMajor) {
  if (colMajor) {
    // The arguments arrive column by column: m01 is element (1, 0), and so on.
    const float cols[9] = {m00, m01, m02, m10, m11, m12, m20, m21, m22};
    fixedsize::transpose<3>(cols, m_m);
    return;
  }
  const float rows[9] = {m00, m01, m02, m10, m11, m12, m20, m21, m22};
  fixedsize::copy<9>(rows, m_m);
}

void PrMatrix3::resize(int row, int col) { PR_ASSERT(row == 3 && col == 3); }

void PrMatrix3::zero() {
  for (float& e : m_m) e = 0.0f;
}

void PrMatrix3::identity() {
  zero();
  m_m[0] = m_m[4] = m_m[8] = 1.0f;
}

void PrMatrix3::negate(PrMatrix& dest) const {
  dest.resize(3, 3);
  fixedsize::negate<9>(m_m, dest.dataPtr());
}

//---- arithmetic ----------------------------------------------------------------

void PrMatrix3::add(const PrMatrix& rhs, PrMatrix& dest) const {
  PR_ASSERT(rhs.row() == 3 && rhs.column() == 3);
  dest.resize(3, 3);
  fixedsize::add<9>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix3::subtract(const PrMatrix& rhs, PrMatrix& dest) const {
  PR_ASSERT(rhs.row() == 3 && rhs.column() == 3);
  dest.resize(3, 3);
  fixedsize::subtract<9>(m_m, rhs.dataPtr(), dest.dataPtr());
}

PrMatrix3& PrMatrix3::operator+=(const PrMatrix& rhs) {
  add(rhs, *this);
  return *this;
}

PrMatrix3& PrMatrix3::operator-=(const PrMatrix& rhs) {
  subtract(rhs, *this);
  return *this;
}

void PrMatrix3::multiply(float s, PrMatrix& dest) const {
  dest.resize(3, 3);
  fixedsize::scale<9>(m_m, s, dest.dataPtr());
}

PrMatrix3& PrMatrix3::operator*=(float s) {
  multiply(s, *this);
  return *this;
}

void PrMatrix3::multiply(const PrMatrix& rhs, PrMatrix& dest, bool transposeRhs) const {
  if (rhs.row() != 3 || rhs.column() != 3) {
    PrMatrix::multiply(rhs, dest, transposeRhs);
    return;
  }
  PR_ASSERT(&dest != static_cast<const PrMatrix*>(this) && &dest != &rhs);
  dest.resize(3, 3);
  fixedsize::multiply<3>(m_m, rhs.dataPtr(), dest.dataPtr(), transposeRhs);
}

void PrMatrix3::multiply(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(&dest != &rhs);
  PR_ASSERT(rhs.size() == 3);
  dest.resize(3);
  fixedsize::multiplyVector<3>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix3::transposedMultiply(const PrMatrix& rhs, PrMatrix& dest) const {
  if (rhs.row() != 3 || rhs.column() != 3) {
    PrMatrix::transposedMultiply(rhs, dest);
    return;
  }
  PR_ASSERT(&dest != static_cast<const PrMatrix*>(this) && &dest != &rhs);
  dest.resize(3, 3);
  fixedsize::transposedMultiply<3>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix3::transposedMultiply(const PrVector& rhs, PrVector& dest) const {
  if (rhs.size() != 3) {
    PrMatrix::transposedMultiply(rhs, dest);
    return;
  }
  PR_ASSERT(&dest != &rhs);
  dest.resize(3);
  fixedsize::transposedMultiplyVector<3>(m_m, rhs.dataPtr(), dest.dataPtr());
}

void PrMatrix3::transpose(PrMatrix& dest) const {
  PR_ASSERT(&dest != static_cast<const PrMatrix*>(this));
  dest.resize(3, 3);
  fixedsize::transpose<3>(m_m, dest.dataPtr());
}

PrMatrix3 PrMatrix3::operator+(const PrMatrix& rhs) const {
  PrMatrix3 sum;
  add(rhs, sum);
  return sum;
}

PrMatrix3 PrMatrix3::operator-(const PrMatrix& rhs) const {
  PrMatrix3 difference;
  subtract(rhs, difference);
  return difference;
}

PrMatrix3 PrMatrix3::operator-() const {
  PrMatrix3 negated;
  negate(negated);
  return negated;
}

PrMatrix3 PrMatrix3::operator*(float s) const {
  PrMatrix3 scaled;
  multiply(s, scaled);
  return scaled;
}

PrMatrix3 PrMatrix3::operator*(const PrMatrix3& rhs) const {
  PrMatrix3 product;
  multiply(rhs, product);
  return product;
}

PrVector3 PrMatrix3::operator*(const PrVector& rhs) const {
  PrVector3 product;
  multiply(rhs, product);
  return product;
}

//---- rotations -----------------------------------------------------------------

void PrMatrix3::orientationError(const PrMatrix& Rd, PrVector& dest) const {
  PR_ASSERT(Rd.row() == 3 && Rd.column() == 3);
  const float* d = Rd.dataPtr();
  float e[3] = {0.0f, 0.0f, 0.0f};
  for (int j = 0; j < 3; ++j) {
    // r = column j of R, q = column j of Rd; e += r × q.
    const float r0 = m_m[j], r1 = m_m[3 + j], r2 = m_m[6 + j];
    const float q0 = d[j], q1 = d[3 + j], q2 = d[6 + j];
    e[0] += r1 * q2 - r2 * q1;
    e[1] += r2 * q0 - r0 * q2;
    e[2] += r0 * q1 - r1 * q0;
  }
  dest.resize(3);
  float* out = dest.dataPtr();
  for (int i = 0; i < 3; ++i) out[i] = -0.5f * e[i];
}

void PrMatrix3::fromAxisAngle(const PrVector& axis, float angle) {
  PrVector3 k(axis);
  k.normalize();
  const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
  const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
  const float v = 1.0f - c;
  const float kx = k[0], ky = k[1], kz = k[2];
  m_m[0] = kx * kx * v + c;
  m_m[1] = kx * ky * v - kz * s;
  m_m[2] = kx * kz * v + ky * s;
  m_m[3] = kx * ky * v + kz * s;
  m_m[4] = ky * ky * v + c;
  m_m[5] = ky * kz * v - kx * s;
  m_m[6] = kx * kz * v - ky * s;
  m_m[7] = ky * kz * v + kx * s;
  m_m[8] = kz * kz * v + c;
}

void PrMatrix3::display(const char* name) const {
  if (name != nullptr) consolePrint("%s =\n", name);
  for (int r = 0; r < 3; ++r) consolePrint("[%.6f %.6f %.6f]\n", m_m[3 * r], m_m[3 * r + 1], m_m[3 * r + 2]);
}

//---- PrVector's cross-product matrix by value (needs the complete PrMatrix3) ---

PrMatrix3 PrVector::crossMatrix() const {
  PR_ASSERT(m_size == 3);
  const float x = m_data[0], y = m_data[1], z = m_data[2];
  return PrMatrix3(0.0f, -z, y, z, 0.0f, -x, -y, x, 0.0f);
}
