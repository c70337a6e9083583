// PrMatrix: a single-precision row-major matrix, element (r, c) at r*m_col + c.
//
// Same storage rules as PrVector: storage only grows, results go into
// caller-supplied destinations, temporaries are transferred. The SVD and the
// symmetric eigen decomposition are computed in double precision by Eigen.
#pragma once

#include "utility/PrAssert.h"

class PrVector;

class PrMatrix {
 public:
  PrMatrix() = default;
  PrMatrix(int row, int col);                                            // zero-filled
  PrMatrix(const float* data, int row, int col, bool colMajor = false);  // unset when data is null
  PrMatrix(const PrMatrix& rhs);
  PrMatrix(PrMatrix&& rhs) noexcept;  // steals dynamic storage, copies otherwise
  virtual ~PrMatrix();

  // --- storage -------------------------------------------------------------
  virtual bool isDynamic() const { return true; }
  virtual void resize(int row, int col);
  void setSize(int row, int col, bool zero = false);
  void transfer(PrMatrix& src);

  int row() const { return m_row; }
  int column() const { return m_col; }
  int size() const { return m_size; }
  float* dataPtr() { return m_data; }
  const float* dataPtr() const { return m_data; }
  float& operator()(int row, int col) {
    PR_ASSERT(row >= 0 && row < m_row && col >= 0 && col < m_col);
    return m_data[row * m_col + col];
  }
  float operator()(int row, int col) const {
    PR_ASSERT(row >= 0 && row < m_row && col >= 0 && col < m_col);
    return m_data[row * m_col + col];
  }
  // Pointer to the start of row r.
  float* operator[](int row) {
    PR_ASSERT(row >= 0 && row < m_row);
    return m_data + row * m_col;
  }
  const float* operator[](int row) const {
    PR_ASSERT(row >= 0 && row < m_row);
    return m_data + row * m_col;
  }

  PrMatrix& operator=(const PrMatrix& rhs);
  PrMatrix& operator=(PrMatrix&& rhs);  // transfer() semantics

  void zero();
  void identity();
  void setValues(const float* data, bool colMajor = false);
  void getValues(float* data, bool colMajor = false) const;
  void appendVertical(const PrMatrix& rhs);
  void appendHorizontal(const PrMatrix& rhs);
  void getDiagonal(PrVector& dest) const;
  void setDiagonal(float value);
  void setDiagonal(const float* values);
  void setDiagonal(const PrVector& src);
  void getRow(int row, PrVector& dest) const;
  void getColumn(int col, PrVector& dest) const;
  void setRow(int row, const PrVector& src);
  void setColumn(int col, const PrVector& src);
  void fill(float value, int row, int col, int nRows, int nCols);
  void getSubmatrix(int row, int col, PrMatrix& dest) const;
  void setSubmatrix(int row, int col, const PrMatrix& src);
  void getSubvector(int row, int col, PrVector& dest, bool isRow) const;
  void setSubvector(int row, int col, const PrVector& src, bool isRow);
  // Shrinks in place to rows [rowStart, rowEnd) and columns [colStart, colEnd).
  void submatrix(int rowStart, int colStart, int rowEnd, int colEnd);

  // Bit-wise comparison: +0 and -0 differ, equal NaN bit patterns match.
  bool operator==(const PrMatrix& rhs) const;
  bool operator!=(const PrMatrix& rhs) const { return !(*this == rhs); }

  // --- arithmetic into destinations -----------------------------------------
  void negate(PrMatrix& dest) const;
  void add(const PrMatrix& rhs, PrMatrix& dest) const;
  void subtract(const PrMatrix& rhs, PrMatrix& dest) const;
  void multiply(float s, PrMatrix& dest) const;
  PrMatrix& operator+=(const PrMatrix& rhs);
  PrMatrix& operator-=(const PrMatrix& rhs);
  PrMatrix& operator*=(float s);
  // dest = this·rhs, or this·rhsᵀ when transposeRhs.
  void multiply(const PrMatrix& rhs, PrMatrix& dest, bool transposeRhs = false) const;
  // this = this·rhs (or ·rhsᵀ); one row of scratch, from work when given.
  void multiplyInPlace(const PrMatrix& rhs, bool transposeRhs = false, PrVector* work = nullptr);
  void multiply(const PrVector& rhs, PrVector& dest) const;
  void transposedMultiply(const PrMatrix& rhs, PrMatrix& dest) const;  // thisᵀ·rhs
  void transposedMultiply(const PrVector& rhs, PrVector& dest) const;  // thisᵀ·rhs
  // this = mult·this; one column of scratch, from work when given.
  void preMultiply(const PrMatrix& mult, PrVector* work = nullptr);
  void transpose(PrMatrix& dest) const;

  PrMatrix operator+(const PrMatrix& rhs) const;
  PrMatrix operator-(const PrMatrix& rhs) const;
  PrMatrix operator-() const;
  PrMatrix operator*(float s) const;
  PrMatrix operator*(const PrMatrix& rhs) const;
  PrVector operator*(const PrVector& rhs) const;

  // --- factorisations (no pivoting; a zero pivot gives non-finite results) --
  void inverse(PrMatrix& dest) const;     // Crout LU
  void inverseSPD(PrMatrix& dest) const;  // Cholesky
  // Same, with the caller's factor matrix so that nothing is allocated once it is sized.
  void inverse(PrMatrix& dest, PrMatrix& lu) const;
  void inverseSPD(PrMatrix& dest, PrMatrix& lu) const;
  void luDecomp(PrMatrix& lu) const;
  void luSubst(const PrVector& y, PrVector& x) const;  // this holds the LU factors
  void choleskyDecomp(PrMatrix& lu) const;
  void choleskySubst(const PrVector& y, PrVector& x) const;  // this holds the Cholesky factors
  // Singular values descending on S's diagonal.
  void svd(PrMatrix& U, PrMatrix& S, PrMatrix& V) const;
  // Eigenvalues ascending on D's diagonal, eigenvectors as V's columns.
  void symmetricEigen(PrMatrix& D, PrMatrix& V) const;
  int rank(float tolerance) const;
  void pseudoInverse(PrMatrix& dest, float tolerance) const;
  void pseudoInverseClamped(PrMatrix& dest) const;

  bool isFinite() const;
  bool isZero() const;
  bool isIdentity() const;
  void display(const char* name = nullptr) const;

 protected:
  // For fixed-size types and views: storage supplied by the derived class.
  PrMatrix(int row, int col, float* storage)
      : m_row(row), m_col(col), m_size(row * col), m_capacity(row * col), m_data(storage) {}
  void copyFrom(const PrMatrix& rhs);

  int m_row = 0;
  int m_col = 0;
  int m_size = 0;
  int m_capacity = 0;
  float* m_data = nullptr;
};

inline PrMatrix operator*(float s, const PrMatrix& m) { return m * s; }

// A matrix laid over rows [row, row+cRows) of another matrix; never resizes.
class PrMappedMatrix : public PrMatrix {
 public:
  PrMappedMatrix(PrMatrix& src, int row, int cRows);
  // A copy views the same rows (it never allocates a private copy).
  PrMappedMatrix(const PrMappedMatrix& rhs);
  ~PrMappedMatrix() override;
  PrMappedMatrix& operator=(const PrMatrix& rhs) {
    PrMatrix::operator=(rhs);
    return *this;
  }
  bool isDynamic() const override { return false; }
  void resize(int row, int col) override;  // only "m_row == row && m_col == col"
};
