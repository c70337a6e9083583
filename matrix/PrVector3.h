// PrVector3: a 3-element vector (position, axis, angular velocity) whose
// elements live inside the object, so it never touches the heap.
//
// It is a PrVector, so it can be passed wherever a generic vector or a
// generic destination of size 3 is expected; resizing it to anything but 3
// is a fatal assertion. Operations with another 3-element operand are
// written out instead of looped.
#pragma once

#include "matrix/PrVector.h"

class PrMatrix;

class PrVector3 : public PrVector {
 public:
  PrVector3() : PrVector(3, m_v), m_v{0.0f, 0.0f, 0.0f} {}
  PrVector3(float x, float y, float z) : PrVector(3, m_v), m_v{x, y, z} {}
  // Implicit on purpose: a generic result of size 3 converts like a value.
  PrVector3(const PrVector& rhs);  // NOLINT(google-explicit-constructor) "rhs.size() == 3"
  // Three consecutive floats; zero when data is null.
  explicit PrVector3(const float* data);
  // Copies the elements. There is deliberately no move constructor: a
  // temporary is copied too, so the inline storage is never handed over.
  PrVector3(const PrVector3& rhs) : PrVector(3, m_v), m_v{rhs.m_v[0], rhs.m_v[1], rhs.m_v[2]} {}
  // The inline array is not the base's to free.
  ~PrVector3() override {
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
  }

  PrVector3& operator=(const PrVector3& rhs) {
    m_v[0] = rhs.m_v[0];
    m_v[1] = rhs.m_v[1];
    m_v[2] = rhs.m_v[2];
    return *this;
  }
  PrVector3& operator=(const PrVector& rhs) {  // fails "newSize == 3" for other sizes
    PrVector::operator=(rhs);
    return *this;
  }

  bool isDynamic() const override { return false; }
  void resize(int newSize) override;  // only "newSize == 3"

  float& operator[](int ii) {
    PR_ASSERT(ii >= 0 && ii < 3);
    return m_v[ii];
  }
  float operator[](int ii) const {
    PR_ASSERT(ii >= 0 && ii < 3);
    return m_v[ii];
  }
  float& x() { return m_v[0]; }
  float& y() { return m_v[1]; }
  float& z() { return m_v[2]; }
  float x() const { return m_v[0]; }
  float y() const { return m_v[1]; }
  float z() const { return m_v[2]; }
  void set(float x, float y, float z) {
    m_v[0] = x;
    m_v[1] = y;
    m_v[2] = z;
  }

  float magnitude() const;
  // Scales to unit length; the zero vector becomes non-finite.
  void normalize();
  float dot(const PrVector& rhs) const;  // "rhs.size() == 3"

  // --- arithmetic -------------------------------------------------------------
  void multiply(float s, PrVector& dest) const;
  PrVector3& operator*=(float s);
  PrVector3& operator/=(float s);              // multiplies by 1/s
  PrVector3& operator+=(const PrVector& rhs);  // "rhs.size() == 3"
  PrVector3& operator-=(const PrVector& rhs);  // "rhs.size() == 3"
  PrVector3 operator+(const PrVector& rhs) const;
  PrVector3 operator-(const PrVector& rhs) const;
  PrVector3 operator-() const;
  PrVector3 operator*(float s) const;
  PrVector3 operator/(float s) const;
  using PrVector::operator*;  // row vector times matrix

  // dest(i, j) = this[i]·rhs[j]; written out when rhs has 3 elements.
  void outerProduct(const PrVector& rhs, PrMatrix& dest) const;
  using PrVector::outerProduct;

  // False unless rhs has 3 elements; then element-wise.
  bool operator==(const PrVector& rhs) const;
  bool operator!=(const PrVector& rhs) const { return !(*this == rhs); }
  // Exact-type overloads keep C++20's reversed comparison candidates unambiguous.
  bool operator==(const PrVector3& rhs) const { return *this == static_cast<const PrVector&>(rhs); }
  bool operator!=(const PrVector3& rhs) const { return !(*this == rhs); }

  // "name = (x y z)\n" with a name, "(x y z)" without; through consolePrint.
  void display(const char* name = nullptr) const;

 private:
  float m_v[3];
};

inline PrVector3 operator*(float s, const PrVector3& v) { return v * s; }
