#include "matrix/PrMatrix.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "matrix/PrVector.h"
#include "utility/allFinite.h"
#include "utility/consolePrint.h"

//---- storage ----------------------------------------------------------------

PrMatrix::PrMatrix(int row, int col) : m_row(row), m_col(col) {
  PR_ASSERT(m_row >= 0 && m_col >= 0);
  m_size = m_row * m_col;
  if (m_size > 0) {
    m_data = new float[m_size]();
    m_capacity = m_size;
  }
}

PrMatrix::PrMatrix(const float* data, int row, int col, bool colMajor) : m_row(row), m_col(col) {
  PR_ASSERT(m_row >= 0 && m_col >= 0);
  m_size = m_row * m_col;
  if (m_size > 0) {
    m_data = new float[m_size];
    m_capacity = m_size;
    if (data != nullptr) setValues(data, colMajor);
  }
}

PrMatrix::PrMatrix(const PrMatrix& rhs) : PrMatrix(rhs.m_data, rhs.m_row, rhs.m_col) {}

PrMatrix::PrMatrix(PrMatrix&& rhs) noexcept {
  if (rhs.isDynamic()) {
    m_row = rhs.m_row;
    m_col = rhs.m_col;
    m_size = rhs.m_size;
    m_capacity = rhs.m_capacity;
    m_data = rhs.m_data;
    rhs.m_row = rhs.m_col = rhs.m_size = rhs.m_capacity = 0;
    rhs.m_data = nullptr;
  } else {
    copyFrom(rhs);
  }
}

PrMatrix::~PrMatrix() { delete[] m_data; }

void PrMatrix::resize(int row, int col) {
  PR_ASSERT(row >= 0 && col >= 0);
  if (row == m_row && col == m_col) return;
  const int size = row * col;
  if (m_capacity < size) {
    delete[] m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_data = new float[size];
    m_capacity = size;
  }
  m_row = row;
  m_col = col;
  m_size = size;
}

void PrMatrix::setSize(int row, int col, bool zero) {
  resize(row, col);
  if (zero) this->zero();
}

void PrMatrix::copyFrom(const PrMatrix& rhs) {
  resize(rhs.m_row, rhs.m_col);
  // A mapped matrix may overlap its source, so the copy must tolerate overlap.
  if (m_size > 0 && m_data != rhs.m_data) std::memmove(m_data, rhs.m_data, sizeof(float) * m_size);
}

PrMatrix& PrMatrix::operator=(const PrMatrix& rhs) {
  if (this != &rhs) copyFrom(rhs);
  return *this;
}

PrMatrix& PrMatrix::operator=(PrMatrix&& rhs) {
  transfer(rhs);
  return *this;
}

void PrMatrix::transfer(PrMatrix& src) {
  if (&src == this) return;  // taking our own storage would free it first
  if (!isDynamic() || !src.isDynamic()) {
    copyFrom(src);
    return;
  }
  delete[] m_data;
  m_row = src.m_row;
  m_col = src.m_col;
  m_size = src.m_size;
  m_capacity = src.m_capacity;
  m_data = src.m_data;
  src.m_row = src.m_col = src.m_size = src.m_capacity = 0;
  src.m_data = nullptr;
}

//---- whole-matrix values ----------------------------------------------------

void PrMatrix::zero() { std::fill(m_data, m_data + m_size, 0.0f); }

void PrMatrix::identity() {
  PR_ASSERT(m_row == m_col);
  zero();
  for (int i = 0; i < m_row; ++i) m_data[i * m_col + i] = 1.0f;
}

void PrMatrix::setValues(const float* data, bool colMajor) {
  if (m_size == 0) return;
  if (!colMajor) {
    std::memcpy(m_data, data, sizeof(float) * m_size);
    return;
  }
  for (int c = 0; c < m_col; ++c) {
    for (int r = 0; r < m_row; ++r) m_data[r * m_col + c] = *data++;
  }
}

void PrMatrix::getValues(float* data, bool colMajor) const {
  if (m_size == 0) return;
  if (!colMajor) {
    std::memcpy(data, m_data, sizeof(float) * m_size);
    return;
  }
  for (int c = 0; c < m_col; ++c) {
    for (int r = 0; r < m_row; ++r) *data++ = m_data[r * m_col + c];
  }
}

void PrMatrix::appendVertical(const PrMatrix& rhs) {
  if (rhs.m_size == 0) return;
  PR_ASSERT(m_col == rhs.m_col || m_size == 0);
  // An empty matrix (also 2x0 or 0x5) has no rows worth keeping: adopt rhs.
  if (m_size == 0) {
    copyFrom(rhs);
    return;
  }
  PrMatrix joined(nullptr, m_row + rhs.m_row, rhs.m_col);
  std::memcpy(joined.m_data, m_data, sizeof(float) * m_size);
  std::memcpy(joined.m_data + m_size, rhs.m_data, sizeof(float) * rhs.m_size);
  transfer(joined);
}

void PrMatrix::appendHorizontal(const PrMatrix& rhs) {
  if (rhs.m_size == 0) return;
  PR_ASSERT(m_row == rhs.m_row || m_size == 0);
  if (m_size == 0) {
    copyFrom(rhs);
    return;
  }
  const int cols = m_col + rhs.m_col;
  PrMatrix joined(nullptr, rhs.m_row, cols);
  for (int r = 0; r < m_row; ++r) {
    std::memcpy(joined.m_data + r * cols, m_data + r * m_col, sizeof(float) * m_col);
    std::memcpy(joined.m_data + r * cols + m_col, rhs.m_data + r * rhs.m_col, sizeof(float) * rhs.m_col);
  }
  transfer(joined);
}

//---- diagonal, rows, columns, blocks ----------------------------------------

void PrMatrix::getDiagonal(PrVector& dest) const {
  PR_ASSERT(m_row == m_col);
  dest.resize(m_row);
  for (int i = 0; i < m_row; ++i) dest[i] = m_data[i * m_col + i];
}

void PrMatrix::setDiagonal(float value) {
  const int n = std::min(m_row, m_col);
  for (int i = 0; i < n; ++i) m_data[i * m_col + i] = value;
}

void PrMatrix::setDiagonal(const float* values) {
  const int n = std::min(m_row, m_col);
  for (int i = 0; i < n; ++i) m_data[i * m_col + i] = values[i];
}

void PrMatrix::setDiagonal(const PrVector& src) {
  PR_ASSERT(m_row == m_col);
  PR_ASSERT(m_row == src.size());
  setDiagonal(src.dataPtr());
}

void PrMatrix::getRow(int row, PrVector& dest) const {
  PR_ASSERT(row >= 0 && row < m_row);
  dest.resize(m_col);
  if (m_col > 0) std::memmove(dest.dataPtr(), m_data + row * m_col, sizeof(float) * m_col);
}

void PrMatrix::getColumn(int col, PrVector& dest) const {
  PR_ASSERT(col >= 0 && col < m_col);
  dest.resize(m_row);
  float* out = dest.dataPtr();
  for (int r = 0; r < m_row; ++r) out[r] = m_data[r * m_col + col];
}

void PrMatrix::setRow(int row, const PrVector& src) {
  PR_ASSERT(row >= 0 && row < m_row);
  PR_ASSERT(src.size() == m_col);
  if (m_col > 0) std::memmove(m_data + row * m_col, src.dataPtr(), sizeof(float) * m_col);
}

void PrMatrix::setColumn(int col, const PrVector& src) {
  PR_ASSERT(col >= 0 && col < m_col);
  PR_ASSERT(src.size() == m_row);
  const float* in = src.dataPtr();
  for (int r = 0; r < m_row; ++r) m_data[r * m_col + col] = in[r];
}

void PrMatrix::fill(float value, int row, int col, int nRows, int nCols) {
  for (int r = row; r < row + nRows; ++r) {
    for (int c = col; c < col + nCols; ++c) (*this)(r, c) = value;
  }
}

void PrMatrix::getSubmatrix(int row, int col, PrMatrix& dest) const {
  PR_ASSERT(row >= 0 && row + dest.m_row <= m_row);
  PR_ASSERT(col >= 0 && col + dest.m_col <= m_col);
  if (dest.m_size == 0) return;
  if (col == 0 && dest.m_col == m_col) {
    std::memmove(dest.m_data, m_data + row * m_col, sizeof(float) * dest.m_size);
    return;
  }
  for (int r = 0; r < dest.m_row; ++r) {
    std::memmove(dest.m_data + r * dest.m_col, m_data + (row + r) * m_col + col, sizeof(float) * dest.m_col);
  }
}

void PrMatrix::setSubmatrix(int row, int col, const PrMatrix& src) {
  PR_ASSERT(row >= 0 && row + src.m_row <= m_row);
  PR_ASSERT(col >= 0 && col + src.m_col <= m_col);
  if (src.m_size == 0) return;
  if (col == 0 && src.m_col == m_col) {
    std::memmove(m_data + row * m_col, src.m_data, sizeof(float) * src.m_size);
    return;
  }
  for (int r = 0; r < src.m_row; ++r) {
    std::memmove(m_data + (row + r) * m_col + col, src.m_data + r * src.m_col, sizeof(float) * src.m_col);
  }
}

void PrMatrix::getSubvector(int row, int col, PrVector& dest, bool isRow) const {
  PR_ASSERT(row >= 0 && row <= m_row);
  PR_ASSERT(col >= 0 && col <= m_col);
  const int n = dest.size();
  float* out = dest.dataPtr();
  if (isRow) {
    PR_ASSERT(col + dest.size() <= m_col);
    // row == m_row is only a valid start for an empty run.
    PR_ASSERT(dest.size() == 0 || row < m_row);
    for (int i = 0; i < n; ++i) out[i] = m_data[row * m_col + col + i];
  } else {
    PR_ASSERT(row + dest.size() <= m_row);
    PR_ASSERT(dest.size() == 0 || col < m_col);
    for (int i = 0; i < n; ++i) out[i] = m_data[(row + i) * m_col + col];
  }
}

void PrMatrix::setSubvector(int row, int col, const PrVector& src, bool isRow) {
  PR_ASSERT(row >= 0 && row <= m_row);
  PR_ASSERT(col >= 0 && col <= m_col);
  const int n = src.size();
  const float* in = src.dataPtr();
  if (isRow) {
    PR_ASSERT(col + src.size() <= m_col);
    PR_ASSERT(src.size() == 0 || row < m_row);
    for (int i = 0; i < n; ++i) m_data[row * m_col + col + i] = in[i];
  } else {
    PR_ASSERT(row + src.size() <= m_row);
    PR_ASSERT(src.size() == 0 || col < m_col);
    for (int i = 0; i < n; ++i) m_data[(row + i) * m_col + col] = in[i];
  }
}

void PrMatrix::submatrix(int rowStart, int colStart, int rowEnd, int colEnd) {
  PR_ASSERT(0 <= rowStart && rowStart < rowEnd && rowEnd <= m_row);
  PR_ASSERT(0 <= colStart && colStart < colEnd && colEnd <= m_col);
  const int oldCol = m_col;
  const int rows = rowEnd - rowStart;
  const int cols = colEnd - colStart;
  // Shrinking never reallocates; a view or fixed-size matrix refuses any new shape here.
  resize(rows, cols);
  // Each row moves to an index no larger than where it came from, so a forward sweep is safe.
  for (int r = 0; r < rows; ++r) {
    std::memmove(m_data + r * cols, m_data + (rowStart + r) * oldCol + colStart, sizeof(float) * cols);
  }
}

//---- comparisons and predicates ---------------------------------------------

bool PrMatrix::operator==(const PrMatrix& rhs) const {
  // Shape first: a mapped band shares its source's storage pointer yet is not equal to it.
  if (m_row != rhs.m_row || m_col != rhs.m_col) return false;
  if (m_data == rhs.m_data || m_size == 0) return true;
  return std::memcmp(m_data, rhs.m_data, sizeof(float) * m_size) == 0;
}

bool PrMatrix::isFinite() const { return allFinite(m_data, m_size); }

bool PrMatrix::isZero() const {
  for (int i = 0; i < m_size; ++i) {
    if (m_data[i] != 0.0f) return false;
  }
  return true;
}

bool PrMatrix::isIdentity() const {
  if (m_row != m_col) return false;
  for (int r = 0; r < m_row; ++r) {
    for (int c = 0; c < m_col; ++c) {
      if (m_data[r * m_col + c] != (r == c ? 1.0f : 0.0f)) return false;
    }
  }
  return true;
}

void PrMatrix::display(const char* name) const {
  // Built as one string so that prints from other threads cannot split the block.
  std::string text;
  char element[64];
  if (name != nullptr) text.append(name).append(" =\n");
  text += " (";
  for (int r = 0; r < m_row; ++r) {
    if (r > 0) text += ")\n (";
    for (int c = 0; c < m_col; ++c) {
      std::snprintf(element, sizeof element, c == 0 ? "%10.4g" : " %10.4g",
                    static_cast<double>(m_data[r * m_col + c]));
      text += element;
    }
  }
  text += ")\n";
  consolePrint("%s", text.c_str());
}

//---- PrMappedMatrix ---------------------------------------------------------

PrMappedMatrix::PrMappedMatrix(PrMatrix& src, int row, int cRows) : PrMatrix(cRows, src.column(), nullptr) {
  // clang-format off
  PR_ASSERT(row < src.row() && row+cRows <= src.row());
  // clang-format on
  PR_ASSERT(row >= 0 && cRows >= 0);
  m_data = src.dataPtr() + row * src.column();
  m_capacity = 0;
}

PrMappedMatrix::PrMappedMatrix(const PrMappedMatrix& rhs) : PrMatrix(rhs.m_row, rhs.m_col, rhs.m_data) {
  m_capacity = 0;
}

PrMappedMatrix::~PrMappedMatrix() {
  // The rows belong to the source matrix: keep the base destructor off them.
  m_data = nullptr;
}

void PrMappedMatrix::resize(int row, int col) { PR_ASSERT(m_row == row && m_col == col); }
