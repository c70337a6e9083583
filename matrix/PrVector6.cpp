#include "matrix/PrVector6.h"

#include "matrix/PrFixedArithmetic.h"
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
  fixedsize::copy<6>(rhs.dataPtr(), m_v);
}

PrVector6::PrVector6(const float* data) : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3), m_v{} {
  if (data != nullptr) fixedsize::copy<6>(data, m_v);
}

PrVector6::PrVector6(const PrVector6& rhs) : PrVector(6, m_v), m_first(3, m_v), m_second(3, m_v + 3) {
  fixedsize::copy<6>(rhs.m_v, m_v);
}

PrVector6::~PrVector6() {
  m_data = nullptr;
  m_size = 0;
  m_capacity = 0;
}

PrVector6& PrVector6::operator=(const PrVector6& rhs) {
  fixedsize::copy<6>(rhs.m_v, m_v);
  return *this;
}

PrVector6& PrVector6::operator=(const PrVector& rhs) {
  if (&rhs == this) return *this;
  PR_ASSERT(rhs.size() == 6);
  fixedsize::copy<6>(rhs.dataPtr(), m_v);
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
  return rhs.size() == 6 && fixedsize::equal<6>(m_v, rhs.dataPtr());
}

//---- arithmetic ----------------------------------------------------------------

void PrVector6::negate(PrVector& dest) const {
  dest.resize(6);
  fixedsize::negate<6>(m_v, dest.dataPtr());
}

void PrVector6::add(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  fixedsize::add<6>(m_v, rhs.dataPtr(), dest.dataPtr());
}

void PrVector6::subtract(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  fixedsize::subtract<6>(m_v, rhs.dataPtr(), dest.dataPtr());
}

void PrVector6::multiplyElements(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 6);
  dest.resize(6);
  fixedsize::multiplyElements<6>(m_v, rhs.dataPtr(), dest.dataPtr());
}

void PrVector6::multiplyElements(const PrVector& rhs) { multiplyElements(rhs, *this); }

void PrVector6::multiply(float s, PrVector& dest) const {
  dest.resize(6);
  fixedsize::scale<6>(m_v, s, dest.dataPtr());
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
  dest.resize(6, 6);
  fixedsize::outerProduct<6>(m_v, rhs.dataPtr(), dest.dataPtr());
}

float PrVector6::dot(const PrVector& rhs) const {
  PR_ASSERT(rhs.size() == 6);
  return fixedsize::dot<6>(m_v, 1, rhs.dataPtr(), 1);
}

void PrVector6::display(const char* name) const {
  if (name != nullptr) {
    consolePrint("%s =\n((%f %f %f) (%f %f %f))\n", name, m_v[0], m_v[1], m_v[2], m_v[3], m_v[4], m_v[5]);
  } else {
    consolePrint("((%f %f %f) (%f %f %f))", m_v[0], m_v[1], m_v[2], m_v[3], m_v[4], m_v[5]);
  }
}
