// PrVector6: a spatial 6-vector, linear half (elements 0-2) first and angular
// half (elements 3-5) second, stored inside the object.
//
// first() and second() are 3-element views over the two halves, so either
// half can be read, written or passed wherever a 3-element PrVector is
// expected without copying. Resizing to anything but 6 is a fatal assertion.
#pragma once

#include "matrix/PrVector.h"
#include "matrix/PrVector3.h"

class PrMatrix;

class PrVector6 : public PrVector {
 public:
  PrVector6();
  PrVector6(float a0, float a1, float a2, float a3, float a4, float a5);
  PrVector6(const PrVector3& first, const PrVector3& second);
  // Implicit on purpose: a generic result of size 6 converts like a value.
  PrVector6(const PrVector& rhs);  // NOLINT(google-explicit-constructor) "rhs.size() == 6"
  // Six consecutive floats; zero when data is null.
  explicit PrVector6(const float* data);
  // Copies the elements; the halves keep viewing this object's own storage.
  // No move constructor: temporaries are copied, never robbed.
  PrVector6(const PrVector6& rhs);
  ~PrVector6() override;

  PrVector6& operator=(const PrVector6& rhs);
  PrVector6& operator=(const PrVector& rhs);  // "rhs.size() == 6"
  void set(float a0, float a1, float a2, float a3, float a4, float a5);

  bool isDynamic() const override { return false; }
  void resize(int newSize) override;  // only "newSize == 6"

  float& operator[](int ii) {
    PR_ASSERT(ii >= 0 && ii < 6);
    return m_v[ii];
  }
  float operator[](int ii) const {
    PR_ASSERT(ii >= 0 && ii < 6);
    return m_v[ii];
  }
  // Views of elements 0-2 and 3-5.
  PrVectorSlice& first() { return m_first; }
  const PrVectorSlice& first() const { return m_first; }
  PrVectorSlice& second() { return m_second; }
  const PrVectorSlice& second() const { return m_second; }

  void zero();
  // False unless rhs has 6 elements; then element-wise.
  bool operator==(const PrVector& rhs) const;
  bool operator!=(const PrVector& rhs) const { return !(*this == rhs); }
  // Exact-type overloads keep C++20's reversed comparison candidates unambiguous.
  bool operator==(const PrVector6& rhs) const { return *this == static_cast<const PrVector&>(rhs); }
  bool operator!=(const PrVector6& rhs) const { return !(*this == rhs); }

  // --- arithmetic: operands "rhs.size() == 6", destinations resized to 6 ------
  void negate(PrVector& dest) const;
  void add(const PrVector& rhs, PrVector& dest) const;
  void subtract(const PrVector& rhs, PrVector& dest) const;
  void multiplyElements(const PrVector& rhs, PrVector& dest) const;
  void multiplyElements(const PrVector& rhs);
  void multiply(float s, PrVector& dest) const;
  PrVector6& operator+=(const PrVector& rhs);
  PrVector6& operator-=(const PrVector& rhs);
  PrVector6& operator*=(float s);
  PrVector6 operator+(const PrVector& rhs) const;
  PrVector6 operator-(const PrVector& rhs) const;
  PrVector6 operator-() const;
  PrVector6 operator*(float s) const;
  using PrVector::operator*;  // row vector times matrix

  // 6×6 when rhs has 6 elements, otherwise the generic form.
  void outerProduct(const PrVector& rhs, PrMatrix& dest) const;
  using PrVector::outerProduct;
  float dot(const PrVector& rhs) const;  // "rhs.size() == 6"

  // "name =\n((a b c) (d e f))\n" with a name, "((a b c) (d e f))" without.
  void display(const char* name = nullptr) const;

 private:
  PrVectorSlice m_first;
  PrVectorSlice m_second;
  float m_v[6];
};

inline PrVector6 operator*(float s, const PrVector6& v) { return v * s; }
