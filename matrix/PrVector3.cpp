#include "matrix/PrVector3.h"

#include <cmath>

#include "matrix/PrFixedArithmetic.h"
#include "matrix/PrMatrix.h"
#include "utility/consolePrint.h"

PrVector3::PrVector3(const PrVector& rhs) : PrVector(3, m_v) {
  PR_ASSERT(rhs.size() == 3);
  fixedsize::copy<3>(rhs.dataPtr(), m_v);
}

PrVector3::PrVector3(const float* data) : PrVector(3, m_v), m_v{0.0f, 0.0f, 0.0f} {
  if (data != nullptr) fixedsize::copy<3>(data, m_v);
}

void PrVector3::resize(int newSize) { PR_ASSERT(newSize == 3); }

float PrVector3::magnitude() const { return std::sqrt(fixedsize::dot<3>(m_v, 1, m_v, 1)); }

void PrVector3::normalize() { *this *= 1.0f / magnitude(); }

float PrVector3::dot(const PrVector& rhs) const {
  PR_ASSERT(rhs.size() == 3);
  return fixedsize::dot<3>(m_v, 1, rhs.dataPtr(), 1);
}

//---- arithmetic ----------------------------------------------------------------

void PrVector3::multiply(float s, PrVector& dest) const {
  dest.resize(3);
  fixedsize::scale<3>(m_v, s, dest.dataPtr());
}

PrVector3& PrVector3::operator*=(float s) {
  fixedsize::scale<3>(m_v, s, m_v);
  return *this;
}

PrVector3& PrVector3::operator/=(float s) { return *this *= 1.0f / s; }

PrVector3& PrVector3::operator+=(const PrVector& rhs) {
  PR_ASSERT(rhs.size() == 3);
  fixedsize::add<3>(m_v, rhs.dataPtr(), m_v);
  return *this;
}

PrVector3& PrVector3::operator-=(const PrVector& rhs) {
  PR_ASSERT(rhs.size() == 3);
  fixedsize::subtract<3>(m_v, rhs.dataPtr(), m_v);
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
  dest.resize(3, 3);
  fixedsize::outerProduct<3>(m_v, rhs.dataPtr(), dest.dataPtr());
}

bool PrVector3::operator==(const PrVector& rhs) const {
  return rhs.size() == 3 && fixedsize::equal<3>(m_v, rhs.dataPtr());
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
