#include "matrix/PrVector3.h"

#include <cmath>

#include "matrix/PrMatrix.h"
#include "utility/consolePrint.h"

PrVector3::PrVector3(const PrVector& rhs) : PrVector(3, m_v) {
  PR_ASSERT(rhs.size() == 3);
  const float* src = rhs.dataPtr();
  m_v[0] = src[0];
  m_v[1] = src[1];
  m_v[2] = src[2];
}

PrVector3::PrVector3(const float* data) : PrVector(3, m_v), m_v{0.0f, 0.0f, 0.0f} {
  if (data != nullptr) {
    m_v[0] = data[0];
    m_v[1] = data[1];
    m_v[2] = data[2];
  }
}

void PrVector3::resize(int newSize) { PR_ASSERT(newSize == 3); }

float PrVector3::magnitude() const { return std::sqrt(m_v[0] * m_v[0] + m_v[1] * m_v[1] + m_v[2] * m_v[2]); }

void PrVector3::normalize() { *this *= 1.0f / magnitude(); }

float PrVector3::dot(const PrVector& rhs) const {
  PR_ASSERT(rhs.size() == 3);
  const float* r = rhs.dataPtr();
  return m_v[0] * r[0] + m_v[1] * r[1] + m_v[2] * r[2];
}

//---- arithmetic ----------------------------------------------------------------

void PrVector3::multiply(float s, PrVector& dest) const {
  dest.resize(3);
  float* d = dest.dataPtr();
  d[0] = m_v[0] * s;
  d[1] = m_v[1] * s;
  d[2] = m_v[2] * s;
}

PrVector3& PrVector3::operator*=(float s) {
  m_v[0] *= s;
  m_v[1] *= s;
  m_v[2] *= s;
  return *this;
}

PrVector3& PrVector3::operator/=(float s) { return *this *= 1.0f / s; }

PrVector3& PrVector3::operator+=(const PrVector& rhs) {
  PR_ASSERT(rhs.size() == 3);
  const float* r = rhs.dataPtr();
  m_v[0] += r[0];
  m_v[1] += r[1];
  m_v[2] += r[2];
  return *this;
}

PrVector3& PrVector3::operator-=(const PrVector& rhs) {
  PR_ASSERT(rhs.size() == 3);
  const float* r = rhs.dataPtr();
  m_v[0] -= r[0];
  m_v[1] -= r[1];
  m_v[2] -= r[2];
  return *this;
}

PrVector3 PrVector3::operator+(const PrVector& rhs) const {
  PrVector3 sum(*this);
  sum += rhs;
  return sum;
}

PrVector3 PrVector3::operator-(const PrVector& rhs) const {
  PrVector3 difference(*this);
  difference -= rhs;
  return difference;
}

PrVector3 PrVector3::operator-() const { return PrVector3(-m_v[0], -m_v[1], -m_v[2]); }

PrVector3 PrVector3::operator*(float s) const { return PrVector3(m_v[0] * s, m_v[1] * s, m_v[2] * s); }

PrVector3 PrVector3::operator/(float s) const { return *this * (1.0f / s); }

void PrVector3::outerProduct(const PrVector& rhs, PrMatrix& dest) const {
  if (rhs.size() != 3) {
    PrVector::outerProduct(rhs, dest);
    return;
  }
  const float* r = rhs.dataPtr();
  dest.resize(3, 3);
  float* d = dest.dataPtr();
  d[0] = m_v[0] * r[0];
  d[1] = m_v[0] * r[1];
  d[2] = m_v[0] * r[2];
  d[3] = m_v[1] * r[0];
  d[4] = m_v[1] * r[1];
  d[5] = m_v[1] * r[2];
  d[6] = m_v[2] * r[0];
  d[7] = m_v[2] * r[1];
  d[8] = m_v[2] * r[2];
}

bool PrVector3::operator==(const PrVector& rhs) const {
  if (rhs.size() != 3) return false;
  const float* r = rhs.dataPtr();
  return m_v[0] == r[0] && m_v[1] == r[1] && m_v[2] == r[2];
}

void PrVector3::display(const char* name) const {
  if (name != nullptr) {
    consolePrint("%s = (%f %f %f)\n", name, m_v[0], m_v[1], m_v[2]);
  } else {
    consolePrint("(%f %f %f)", m_v[0], m_v[1], m_v[2]);
  }
}

//---- PrVector's cross product by value (needs the complete PrVector3) ----------

PrVector3 PrVector::cross(const PrVector& rhs) const {
  PR_ASSERT(m_size == 3);
  PR_ASSERT(rhs.m_size == 3);
  const float* a = m_data;
  const float* b = rhs.m_data;
  return PrVector3(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]);
}
