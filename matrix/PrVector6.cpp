#include "matrix/PrVector6.h"

#include "matrix/PrMatrix.h"
#include "utility/consolePrint.h"

PrVector6::PrVector6() : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3), m_v{} {}

PrVector6::PrVector6(float a0, float a1, float a2, float a3, float a4, float a5)
    : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3), m_v{a0, a1, a2, a3, a4, a5} {}

PrVector6::PrVector6(const PrVector3& first, const PrVector3& second)
    : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3), m_v{first[0],  first[1],  first[2],
                                                                   second[0], second[1], second[2]} {}

PrVector6::PrVector6(const PrVector& rhs) : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3) {
  PR_ASSERT(rhs.size() == 6);
  const float* src = rhs.dataPtr();
  for (int i = 0; i < 6; ++i) m_v[i] = src[i];
}

PrVector6::PrVector6(const float* data) : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3), m_v{} {
  if (data != nullptr) {
    for (int i = 0; i < 6; ++i) m_v[i] = data[i];
  }
}

PrVector6::PrVector6(const PrVector6& rhs) : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3) {
  for (int i = 0; i < 6; ++i) m_v[i] = rhs.m_v[i];
}

PrVector6::~PrVector6() {
  m_data = nullptr;
  m_size = 0;
  m_capacity = 0;
}

PrVector6& PrVector6::operator=(const PrVector6& rhs) {
  for (int i = 0; i < 6; ++i) m_v[i] = rhs.m_v[i];
  return *this;
}

PrVector6& PrVector6::operator=(const PrVector& rhs) {
  if (&rhs == this) return *this;
  PR_ASSERT(rhs.size() == 6);
  const float* src = rhs.dataPtr();
  for (int i = 0; i < 6; ++i) m_v[i] = src[i];
  return *this;
}

void PrVector6::set(float a0, float a1, float a2, float a3, float a4, float a5) {
  m_v[0] = a0;
  m_v[1] = a1;
  m_v[2] = a2;
  m_v[3] = a3;
  m_v[4] = a4;
  m_v[5] = a5;
}

void PrVector6::resize(int newSize) { PR_ASSERT(newSize == 6); }

void PrVector6::zero() {
  for (float& e : m_v) e = 0.0f;
}

bool PrVector6::operator==(const PrVector& rhs) const {
  if (rhs.size() != 6) return false;
  const float* r = rhs.dataPtr();
  for (int i = 0; i < 6; ++i) {
    if (m_v[i] != r[i]) return false;
  }
  return true;
}

//---- arithmetic ----------------------------------------------------------------

void PrVector6::negate(PrVector& dest) const {
  dest.resize(6);
  float* d = dest.dataPtr();
  for (int i = 0; i < 6; ++i) d[i] = -m_v[i];
}

void PrVector6::add(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  const float* r = rhs.dataPtr();
  float* d = dest.dataPtr();
  for (int i = 0; i < 6; ++i) d[i] = m_v[i] + r[i];
}

void PrVector6::subtract(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  const float* r = rhs.dataPtr();
  float* d = dest.dataPtr();
  for (int i = 0; i < 6; ++i) d[i] = m_v[i] - r[i];
}

void PrVector6::multiplyElements(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  const float* r = rhs.dataPtr();
  float* d = dest.dataPtr();
  for (int i = 0; i < 6; ++i) d[i] = m_v[i] * r[i];
}

void PrVector6::multiplyElements(const PrVector& rhs) { multiplyElements(rhs, *this); }

void PrVector6::multiply(float s, PrVector& dest) const {
  dest.resize(6);
  float* d = dest.dataPtr();
  for (int i = 0; i < 6; ++i) d[i] = m_v[i] * s;
}

PrVector6& PrVector6::operator+=(const PrVector& rhs) {
  add(rhs, *this);
  return *this;
}

PrVector6& PrVector6::operator-=(const PrVector& rhs) {
  subtract(rhs, *this);
  return *this;
}

PrVector6& PrVector6::operator*=(float s) {
  multiply(s, *this);
  return *this;
}

PrVector6 PrVector6::operator+(const PrVector& rhs) const {
  PrVector6 sum;
  add(rhs, sum);
  return sum;
}

PrVector6 PrVector6::operator-(const PrVector& rhs) const {
  PrVector6 difference;
  subtract(rhs, difference);
  return difference;
}

PrVector6 PrVector6::operator-() const {
  PrVector6 negated;
  negate(negated);
  return negated;
}

PrVector6 PrVector6::operator*(float s) const {
  PrVector6 scaled;
  multiply(s, scaled);
  return scaled;
}

void PrVector6::outerProduct(const PrVector& rhs, PrMatrix& dest) const {
  if (rhs.size() != 6) {
    PrVector::outerProduct(rhs, dest);
    return;
  }
  const float* r = rhs.dataPtr();
  dest.resize(6, 6);
  float* d = dest.dataPtr();
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) d[6 * i + j] = m_v[i] * r[j];
  }
}

float PrVector6::dot(const PrVector& rhs) const {
  PR_ASSERT(rhs.size() == 6);
  const float* r = rhs.dataPtr();
  return m_v[0] * r[0] + m_v[1] * r[1] + m_v[2] * r[2] + m_v[3] * r[3] + m_v[4] * r[4] + m_v[5] * r[5];
}

void PrVector6::display(const char* name) const {
  if (name != nullptr) {
    consolePrint("%s =\n((%f %f %f) (%f %f %f))\n", name, m_v[0], m_v[1], m_v[2], m_v[3], m_v[4], m_v[5]);
  } else {
    consolePrint("((%f %f %f) (%f %f %f))", m_v[0], m_v[1], m_v[2], m_v[3], m_v[4], m_v[5]);
  }
}
