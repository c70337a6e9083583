// PrMatrix6: a 6×6 matrix (spatial inertia, spatial transform) stored
// row-major inside the object, so it never touches the heap.
//
// Products with another 6×6 or 6-element operand and 3×3 block access are
// written out; other shapes fall back to the generic PrMatrix routines.
// Resizing to anything but 6×6 is a fatal assertion.
#pragma once

#include "matrix/PrMatrix.h"
#include "matrix/PrVector6.h"

class PrMatrix3;
class PrVector;

class PrMatrix6 : public PrMatrix {
 public:
  PrMatrix6() : PrMatrix(6, 6, m_m), m_m{} {}
  // 36 elements, row-major (column-major when colMajor); zero when data is null.
  explicit PrMatrix6(const float* data, bool colMajor = false);
  // The four 3×3 blocks [[topLeft, topRight], [bottomLeft, bottomRight]].
  PrMatrix6(const PrMatrix3& topLeft, const PrMatrix3& topRight, const PrMatrix3& bottomLeft,
            const PrMatrix3& bottomRight);
  // Implicit on purpose, like PrMatrix3's: "rhs.row() == 6 && rhs.column() == 6".
  PrMatrix6(const PrMatrix& rhs);  // NOLINT(google-explicit-constructor)
  // Copies the elements. No move constructor: temporaries are copied, never
  // robbed of their inline storage.
  PrMatrix6(const PrMatrix6& rhs);
  // The inline array is not the base's to free.
  ~PrMatrix6() override {
    m_data = nullptr;
    m_row = m_col = m_size = m_capacity = 0;
  }

  PrMatrix6& operator=(const PrMatrix6& rhs);
  PrMatrix6& operator=(const PrMatrix& rhs) {  // fails "row == 6 && col == 6" for other shapes
    PrMatrix::operator=(rhs);
    return *this;
  }

  bool isDynamic() const override { return false; }
  void resize(int row, int col) override;  // only "row == 6 && col == 6"

  // Pointer to the start of row r.
  float* operator[](int row) {
    PR_ASSERT(row >= 0 && row < 6);
    return m_m + 6 * row;
  }
  const float* operator[](int row) const {
    PR_ASSERT(row >= 0 && row < 6);
    return m_m + 6 * row;
  }

  // --- diagonal, rows, columns, blocks ----------------------------------------
  void setDiagonal(float d0, float d1, float d2, float d3, float d4, float d5);
  void setDiagonal(const PrVector& src);  // "src.size() == 6"
  using PrMatrix::setDiagonal;            // one value for all six; a float array
  PrVector6 getDiagonal() const;
  void getDiagonal(PrVector& dest) const;
  void getRow(int row, PrVector& dest) const;     // "row >= 0 && row < 6"
  void getColumn(int col, PrVector& dest) const;  // "col >= 0 && col < 6"
  // Written out for a 3×3 block ("row >= 0 && row <= 3", "col >= 0 && col <= 3").
  void getSubmatrix(int row, int col, PrMatrix& dest) const;
  void setSubmatrix(int row, int col, const PrMatrix& src);

  void zero();
  void identity();
  void negate(PrMatrix& dest) const;

  // --- arithmetic -------------------------------------------------------------
  void add(const PrMatrix& rhs, PrMatrix& dest) const;       // "rhs.row() == 6 && rhs.column() == 6"
  void subtract(const PrMatrix& rhs, PrMatrix& dest) const;  // likewise
  PrMatrix6& operator+=(const PrMatrix& rhs);
  PrMatrix6& operator-=(const PrMatrix& rhs);
  void multiply(float s, PrMatrix& dest) const;
  PrMatrix6& operator*=(float s);
  // dest = this·rhs (this·rhsᵀ when transposeRhs); written out for 6×6 rhs.
  void multiply(const PrMatrix& rhs, PrMatrix& dest, bool transposeRhs = false) const;
  void multiply(const PrVector& rhs, PrVector& dest) const;  // "rhs.size() == 6"
  // dest = thisᵀ·rhs; written out for 6×6 / 6-element operands.
  void transposedMultiply(const PrMatrix& rhs, PrMatrix& dest) const;
  void transposedMultiply(const PrVector& rhs, PrVector& dest) const;
  void transpose(PrMatrix& dest) const;

  PrMatrix6 operator+(const PrMatrix& rhs) const;
  PrMatrix6 operator-(const PrMatrix& rhs) const;
  PrMatrix6 operator-() const;
  PrMatrix6 operator*(float s) const;
  PrMatrix6 operator*(const PrMatrix6& rhs) const;
  PrVector6 operator*(const PrVector& rhs) const;  // "rhs.size() == 6"
  using PrMatrix::operator*;                       // 6×6 times a 6×n generic matrix

  // "name =\n" when named, then six rows "[a b c d e f]\n".
  void display(const char* name = nullptr) const;

 private:
  float m_m[36];
};

inline PrMatrix6 operator*(float s, const PrMatrix6& m) { return m * s; }
