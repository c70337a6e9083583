#include "matrix/PrVector.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "matrix/PrMatrix.h"
#include "utility/allFinite.h"
#include "utility/consolePrint.h"

//---- storage ----------------------------------------------------------------

PrVector::PrVector(int size) : m_size(size) {
  PR_ASSERT(m_size >= 0);
  if (m_size > 0) {
    m_data = new float[m_size]();
    m_capacity = m_size;
  }
}

PrVector::PrVector(const float* data, int size) : m_size(size) {
  PR_ASSERT(m_size >= 0);
  if (m_size > 0) {
    m_data = new float[m_size];
    m_capacity = m_size;
    if (data != nullptr) std::memcpy(m_data, data, sizeof(float) * m_size);
  }
}

PrVector::PrVector(const PrVector& rhs) : PrVector(rhs.m_data, rhs.m_size) {}

PrVector::PrVector(PrVector&& rhs) noexcept {
  if (rhs.isDynamic()) {
    m_size = rhs.m_size;
    m_capacity = rhs.m_capacity;
    m_data = rhs.m_data;
    rhs.m_size = rhs.m_capacity = 0;
    rhs.m_data = nullptr;
  } else {
    copyFrom(rhs);
  }
}

PrVector::~PrVector() { delete[] m_data; }

void PrVector::resize(int newSize) {
  PR_ASSERT(newSize >= 0);
  if (m_capacity < newSize) {
    delete[] m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_data = new float[newSize];
    m_capacity = newSize;
  }
  m_size = newSize;
}

void PrVector::setSize(int n, bool zero) {
  resize(n);
  if (zero) this->zero();
}

void PrVector::copyFrom(const PrVector& rhs) {
  resize(rhs.m_size);
  // Views may overlap the source, so the copy must tolerate overlap.
  if (m_size > 0 && m_data != rhs.m_data) std::memmove(m_data, rhs.m_data, sizeof(float) * m_size);
}

PrVector& PrVector::operator=(const PrVector& rhs) {
  if (this != &rhs) copyFrom(rhs);
  return *this;
}

PrVector& PrVector::operator=(PrVector&& rhs) {
  transfer(rhs);
  return *this;
}

void PrVector::transfer(PrVector& src) {
  if (&src == this) return;  // taking our own storage would free it first
  if (!isDynamic() || !src.isDynamic()) {
    copyFrom(src);
    return;
  }
  delete[] m_data;
  m_size = src.m_size;
  m_capacity = src.m_capacity;
  m_data = src.m_data;
  src.m_size = src.m_capacity = 0;
  src.m_data = nullptr;
}

void PrVector::append(const PrVector& rhs) {
  PrVector joined(nullptr, m_size + rhs.m_size);
  if (m_size > 0) std::memcpy(joined.m_data, m_data, sizeof(float) * m_size);
  if (rhs.m_size > 0) std::memcpy(joined.m_data + m_size, rhs.m_data, sizeof(float) * rhs.m_size);
  transfer(joined);
}

void PrVector::setValues(const float* values, int count) {
  const int n = std::min(count, m_size);
  if (n > 0) std::memcpy(m_data, values, sizeof(float) * n);
}

void PrVector::getValues(float* values, int count) const {
  const int n = std::min(count, m_size);
  if (n > 0) std::memcpy(values, m_data, sizeof(float) * n);
}

void PrVector::getSubvector(int start, PrVector& dest) const {
  PR_ASSERT(start >= 0 && start + dest.m_size <= m_size);
  if (dest.m_size > 0) std::memmove(dest.m_data, m_data + start, sizeof(float) * dest.m_size);
}

void PrVector::setSubvector(int start, const PrVector& src) {
  PR_ASSERT(start >= 0 && start + src.m_size <= m_size);
  if (src.m_size > 0) std::memmove(m_data + start, src.m_data, sizeof(float) * src.m_size);
}

void PrVector::zero() { std::fill(m_data, m_data + m_size, 0.0f); }

bool PrVector::operator==(const PrVector& rhs) const {
  if (this == &rhs) return true;
  if (m_size != rhs.m_size) return false;
  for (int i = 0; i < m_size; ++i) {
    if (m_data[i] != rhs.m_data[i]) return false;
  }
  return true;
}

//---- arithmetic -------------------------------------------------------------

void PrVector::negate(PrVector& dest) const {
  dest.resize(m_size);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = -m_data[i];
}

void PrVector::add(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.m_size == m_size);
  dest.resize(m_size);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = m_data[i] + rhs.m_data[i];
}

void PrVector::subtract(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.m_size == m_size);
  dest.resize(m_size);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = m_data[i] - rhs.m_data[i];
}

void PrVector::multiplyElements(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.m_size == m_size);
  dest.resize(m_size);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = m_data[i] * rhs.m_data[i];
}

void PrVector::multiplyElements(const PrVector& rhs) { multiplyElements(rhs, *this); }

void PrVector::multiply(float s, PrVector& dest) const {
  dest.resize(m_size);
  for (int i = 0; i < m_size; ++i) dest.m_data[i] = m_data[i] * s;
}

PrVector& PrVector::operator+=(const PrVector& rhs) {
  add(rhs, *this);
  return *this;
}

PrVector& PrVector::operator-=(const PrVector& rhs) {
  subtract(rhs, *this);
  return *this;
}

PrVector& PrVector::operator*=(float s) {
  multiply(s, *this);
  return *this;
}

PrVector PrVector::operator+(const PrVector& rhs) const {
  PrVector result(nullptr, m_size);
  add(rhs, result);
  return result;
}

PrVector PrVector::operator-(const PrVector& rhs) const {
  PrVector result(nullptr, m_size);
  subtract(rhs, result);
  return result;
}

PrVector PrVector::operator-() const {
  PrVector result(nullptr, m_size);
  negate(result);
  return result;
}

PrVector PrVector::operator*(float s) const {
  PrVector result(nullptr, m_size);
  multiply(s, result);
  return result;
}

PrVector PrVector::operator*(const PrMatrix& m) const {
  PrVector result(nullptr, m.column());
  m.transposedMultiply(*this, result);
  return result;
}

void PrVector::outerProduct(const PrVector& rhs, PrMatrix& dest) const {
  dest.resize(m_size, rhs.m_size);
  float* out = dest.dataPtr();
  for (int i = 0; i < m_size; ++i) {
    for (int j = 0; j < rhs.m_size; ++j) *out++ = m_data[i] * rhs.m_data[j];
  }
}

PrMatrix PrVector::outerProduct(const PrVector& rhs) const {
  PrMatrix result(nullptr, m_size, rhs.m_size);
  outerProduct(rhs, result);
  return result;
}

float PrVector::dot(const PrVector& rhs) const {
  PR_ASSERT(rhs.m_size == m_size);
  float sum = 0.0f;
  for (int i = 0; i < m_size; ++i) sum += m_data[i] * rhs.m_data[i];
  return sum;
}

float PrVector::magnitudeSquared() const {
  float sum = 0.0f;
  for (int i = 0; i < m_size; ++i) sum += m_data[i] * m_data[i];
  return sum;
}

void PrVector::cross(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(m_size == 3);
  PR_ASSERT(rhs.m_size == 3);
  PR_ASSERT(&dest != &rhs && &dest != this);
  const float* a = m_data;
  const float* b = rhs.m_data;
  const float x = a[1] * b[2] - a[2] * b[1];
  const float y = a[2] * b[0] - a[0] * b[2];
  const float z = a[0] * b[1] - a[1] * b[0];
  dest.resize(3);
  dest.m_data[0] = x;
  dest.m_data[1] = y;
  dest.m_data[2] = z;
}

void PrVector::crossMatrix(PrMatrix& dest) const {
  PR_ASSERT(m_size == 3);
  const float x = m_data[0], y = m_data[1], z = m_data[2];
  dest.resize(3, 3);
  float* d = dest.dataPtr();
  d[0] = 0.0f, d[1] = -z, d[2] = y;
  d[3] = z, d[4] = 0.0f, d[5] = -x;
  d[6] = -y, d[7] = x, d[8] = 0.0f;
}

bool PrVector::isFinite() const { return allFinite(m_data, m_size); }

void PrVector::display(const char* name) const {
  // Built as one string so that prints from other threads cannot split the line.
  std::string text;
  char element[64];
  if (name != nullptr) text.append(name).append(" = ");
  text += '(';
  for (int i = 0; i < m_size; ++i) {
    std::snprintf(element, sizeof element, i == 0 ? "%.6f" : " %.6f", static_cast<double>(m_data[i]));
    text += element;
  }
  text += name != nullptr ? ")\n" : ")";
  consolePrint("%s", text.c_str());
}

//---- PrVectorSlice ----------------------------------------------------------

PrVectorSlice::PrVectorSlice(int size, float* data) : PrVector(size, data) {}

PrVectorSlice::PrVectorSlice(const PrVectorSlice& rhs) : PrVector(rhs.m_size, rhs.m_data) {}

PrVectorSlice::~PrVectorSlice() {
  // The storage belongs to somebody else: keep the base destructor off it.
  m_data = nullptr;
  m_size = 0;
}

void PrVectorSlice::resize(int newSize) { PR_ASSERT(newSize == m_size); }
