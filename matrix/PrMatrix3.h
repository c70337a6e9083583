// PrMatrix3: a 3×3 matrix (rotation, inertia tensor, cross-product matrix)
// stored row-major inside the object, so it never touches the heap.
//
// Products and sums with another 3×3 or 3-element operand are written out;
// other shapes fall back to the generic PrMatrix routines. Resizing to
// anything but 3×3 is a fatal assertion.
#pragma once

#include "matrix/PrMatrix.h"
#include "matrix/PrVector3.h"

class PrVector;

class PrMatrix3 : public PrMatrix {
 public:
  PrMatrix3() : PrMatrix(3, 3, m_m), m_m{} {}
  // Nine elements in row order.
  PrMatrix3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
            float m22);
  // Implicit on purpose: a generic 3×3 result converts like a value. The
  // shape is checked, so a smaller source is refused instead of over-read.
  PrMatrix3(const PrMatrix& rhs);  // NOLINT(google-explicit-constructor) "rhs.row() == 3 && ..."
  // Copies the elements. No move constructor: temporaries are copied, never
  // robbed of their inline storage.
  PrMatrix3(const PrMatrix3& rhs);
  // The inline array is not the base's to free.
  ~PrMatrix3() override {
    m_data = nullptr;
    m_row = m_col = m_size = m_capacity = 0;
  }

  PrMatrix3& operator=(const PrMatrix3& rhs);
  PrMatrix3& operator=(const PrMatrix& rhs) {  // fails "row == 3 && col == 3" for other shapes
    PrMatrix::operator=(rhs);
    return *this;
  }
  // Nine elements, row by row, or column by column when colMajor.
  void set(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22,
           bool colMajor = false);

  bool isDynamic() const override { return false; }
  void resize(int row, int col) override;  // only "row == 3 && col == 3"

  // Pointer to the start of row r.
  float* operator[](int row) {
    PR_ASSERT(row >= 0 && row < 3);
    return m_m + 3 * row;
  }
  const float* operator[](int row) const {
    PR_ASSERT(row >= 0 && row < 3);
    return m_m + 3 * row;
  }

  void zero();
  void identity();
  void negate(PrMatrix& dest) const;

  // --- arithmetic -------------------------------------------------------------
  void add(const PrMatrix& rhs, PrMatrix& dest) const;       // "rhs.row() == 3 && rhs.column() == 3"
  void subtract(const PrMatrix& rhs, PrMatrix& dest) const;  // likewise
  PrMatrix3& operator+=(const PrMatrix& rhs);
  PrMatrix3& operator-=(const PrMatrix& rhs);
  void multiply(float s, PrMatrix& dest) const;
  PrMatrix3& operator*=(float s);
  // dest = this·rhs (this·rhsᵀ when transposeRhs); written out for 3×3 rhs.
  void multiply(const PrMatrix& rhs, PrMatrix& dest, bool transposeRhs = false) const;
  void multiply(const PrVector& rhs, PrVector& dest) const;  // "rhs.size() == 3"
  // dest = thisᵀ·rhs; written out for 3×3 / 3-element operands.
  void transposedMultiply(const PrMatrix& rhs, PrMatrix& dest) const;
  void transposedMultiply(const PrVector& rhs, PrVector& dest) const;
  void transpose(PrMatrix& dest) const;

  PrMatrix3 operator+(const PrMatrix& rhs) const;
  PrMatrix3 operator-(const PrMatrix& rhs) const;
  PrMatrix3 operator-() const;
  PrMatrix3 operator*(float s) const;
  PrMatrix3 operator*(const PrMatrix3& rhs) const;
  PrVector3 operator*(const PrVector& rhs) const;  // "rhs.size() == 3"
  using PrMatrix::operator*;                       // 3×3 times a 3×n generic matrix

  // --- rotations --------------------------------------------------------------
  // Small-angle orientation error of this rotation R against a desired
  // rotation Rd: dest = −½·Σj (column j of R) × (column j of Rd), size 3.
  void orientationError(const PrMatrix& Rd, PrVector& dest) const;
  // This becomes the rotation by angle (rad) about axis (3 elements, any
  // non-zero length; it is normalised here).
  void fromAxisAngle(const PrVector& axis, float angle);

  // "name =\n[a b c]\n[d e f]\n[g h i]\n" with a name, the rows alone without.
  void display(const char* name = nullptr) const;

 private:
  float m_m[9];
};

inline PrMatrix3 operator*(float s, const PrMatrix3& m) { return m * s; }
