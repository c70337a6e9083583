#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

using prtest::assertionText;
using prtest::expectNear;
using prtest::randomMatrix;
using prtest::referenceProduct;
using prtest::referenceTranspose;

namespace {

class ProbeMatrix : public PrMatrix {
 public:
  using PrMatrix::PrMatrix;
  int capacity() const { return m_capacity; }
};

// 0 1 2 3 / 4 5 6 7 / 8 9 10 11
PrMatrix counting(int rows, int cols) {
  PrMatrix m(rows, cols);
  for (int i = 0; i < rows * cols; ++i) m.dataPtr()[i] = static_cast<float>(i);
  return m;
}

}  // namespace

//---- storage -------------------------------------------------------------------

TEST(PrMatrixStorage, ResizeOnlyReallocatesPastTheCapacity) {
  ProbeMatrix m(4, 5);
  const float* storage = m.dataPtr();
  m.resize(2, 3);
  EXPECT_EQ(m.size(), 6);
  EXPECT_EQ(m.capacity(), 20);
  EXPECT_EQ(m.dataPtr(), storage);
  m.resize(5, 4);
  EXPECT_EQ(m.dataPtr(), storage);
  m.setSize(3, 7, true);
  EXPECT_EQ(m.capacity(), 21);
  EXPECT_TRUE(m.isZero());
}

TEST(PrMatrixStorage, TransferMovesBetweenDynamicMatricesAndCopiesWithAView) {
  PrMatrix src = counting(3, 4);
  const PrMatrix expected(src);
  const float* storage = src.dataPtr();
  PrMatrix dest(2, 2);
  dest.transfer(src);
  EXPECT_EQ(dest.dataPtr(), storage);
  EXPECT_EQ(dest, expected);
  EXPECT_EQ(src.row(), 0);
  EXPECT_EQ(src.column(), 0);
  EXPECT_EQ(src.dataPtr(), nullptr);
  dest.transfer(dest);
  EXPECT_EQ(dest, expected);

  PrMatrix band(1, 4);
  PrMappedMatrix view(dest, 1, 1);
  band.transfer(view);  // out of a view: copy
  EXPECT_EQ(view.dataPtr(), dest.dataPtr() + 4);
  EXPECT_EQ(band(0, 3), 7.0f);
  PrMatrix replacement = -band;
  view.transfer(replacement);  // into a view: copy into the source's row
  EXPECT_EQ(dest(1, 3), -7.0f);
  EXPECT_EQ(replacement.row(), 1);
}

TEST(PrMatrixStorage, MappedMatrixViewsABandOfRows) {
  PrMatrix src = counting(4, 3);
  {
    PrMappedMatrix band(src, 1, 2);
    EXPECT_EQ(band.row(), 2);
    EXPECT_EQ(band.column(), 3);
    EXPECT_EQ(band(0, 0), 3.0f);
    band(1, 2) = -1.0f;
    EXPECT_FALSE(band.isDynamic());
    PrMappedMatrix copy(band);
    EXPECT_EQ(copy.dataPtr(), band.dataPtr());
    // Same storage pointer as its source but another shape: not equal.
    PrMappedMatrix top(src, 0, 2);
    EXPECT_FALSE(top == src);
    EXPECT_TRUE(top == top);
  }  // views must not free the source's rows
  EXPECT_EQ(src(2, 2), -1.0f);
}

TEST(PrMatrixStorage, AppendAdoptsIntoEmptyAndIgnoresEmpty) {
  const PrMatrix block = counting(2, 3);
  PrMatrix m;
  m.appendVertical(block);
  EXPECT_EQ(m, block);
  m.appendVertical(PrMatrix());
  m.appendHorizontal(PrMatrix(2, 0));
  EXPECT_EQ(m, block);

  m.appendVertical(block);
  ASSERT_EQ(m.row(), 4);
  EXPECT_EQ(m(3, 2), 5.0f);
  EXPECT_EQ(m(1, 0), 3.0f);

  PrMatrix wide(block);
  wide.appendHorizontal(counting(2, 1));
  ASSERT_EQ(wide.column(), 4);
  EXPECT_EQ(wide(1, 2), 5.0f);
  EXPECT_EQ(wide(1, 3), 1.0f);

  PrMatrix noColumns(2, 0);  // an empty matrix with rows has nothing to keep
  noColumns.appendVertical(block);
  EXPECT_EQ(noColumns, block);
}

TEST(PrMatrixStorage, SubmatrixShrinksInPlace) {
  PrMatrix m = counting(3, 4);
  const PrMatrix original(m);
  m.submatrix(0, 0, 3, 4);
  EXPECT_EQ(m, original);
  const float* storage = m.dataPtr();
  m.submatrix(1, 1, 3, 3);
  const float expected[] = {5, 6, 9, 10};
  EXPECT_EQ(m, PrMatrix(expected, 2, 2));
  EXPECT_EQ(m.dataPtr(), storage);
}

TEST(PrMatrixStorage, BlocksRowsColumnsAndDiagonal) {
  const PrMatrix m = counting(3, 4);
  PrMatrix block(2, 2);
  m.getSubmatrix(1, 2, block);
  const float expectedBlock[] = {6, 7, 10, 11};
  EXPECT_EQ(block, PrMatrix(expectedBlock, 2, 2));
  PrMatrix rows(2, 4);
  m.getSubmatrix(1, 0, rows);  // whole rows: one contiguous copy
  EXPECT_EQ(rows(0, 0), 4.0f);
  EXPECT_EQ(rows(1, 3), 11.0f);

  PrMatrix target(3, 4);
  target.setSubmatrix(1, 2, block);
  EXPECT_EQ(target(2, 3), 11.0f);
  EXPECT_EQ(target(0, 3), 0.0f);

  PrVector v(2);
  m.getSubvector(1, 1, v, true);
  EXPECT_EQ(v[0], 5.0f);
  EXPECT_EQ(v[1], 6.0f);
  m.getSubvector(1, 3, v, false);
  EXPECT_EQ(v[0], 7.0f);
  EXPECT_EQ(v[1], 11.0f);
  target.setSubvector(0, 0, v, false);
  EXPECT_EQ(target(1, 0), 11.0f);

  PrVector r, c;
  m.getRow(2, r);
  m.getColumn(1, c);
  EXPECT_EQ(r.size(), 4);
  EXPECT_EQ(r[3], 11.0f);
  EXPECT_EQ(c.size(), 3);
  EXPECT_EQ(c[2], 9.0f);
  target.setRow(0, r);
  target.setColumn(0, c);
  EXPECT_EQ(target(0, 3), 11.0f);
  EXPECT_EQ(target(2, 0), 9.0f);

  PrMatrix square = counting(3, 3);
  PrVector d;
  square.getDiagonal(d);
  const float diag[] = {0, 4, 8};
  EXPECT_EQ(d, PrVector(diag, 3));
  square.setDiagonal(1.0f);
  EXPECT_EQ(square(1, 1), 1.0f);
  EXPECT_EQ(square(1, 2), 5.0f);

  PrMatrix filled(3, 3);
  filled.fill(2.0f, 1, 1, 2, 2);
  EXPECT_EQ(filled(0, 0), 0.0f);
  EXPECT_EQ(filled(2, 2), 2.0f);
}

TEST(PrMatrixStorage, ValuesInRowAndColumnMajorOrder) {
  const float colMajor[] = {1, 4, 2, 5, 3, 6};
  const PrMatrix m(colMajor, 2, 3, true);
  EXPECT_EQ(m(0, 2), 3.0f);
  EXPECT_EQ(m(1, 0), 4.0f);
  float out[6];
  m.getValues(out, true);
  EXPECT_EQ(std::memcmp(out, colMajor, sizeof out), 0);
  m.getValues(out, false);
  EXPECT_EQ(out[1], 2.0f);
}

TEST(PrMatrixDeathTest, PreconditionsQuoteTheirCondition) {
  PrMatrix src(4, 3);
  PrMappedMatrix band(src, 1, 2);
  EXPECT_DEATH(band.resize(3, 3), assertionText("m_row == row && m_col == col"));
  EXPECT_DEATH(PrMappedMatrix(src, 4, 0), assertionText("row < src.row() && row+cRows <= src.row()"));
  EXPECT_DEATH(PrMappedMatrix(src, 2, 3), assertionText("row < src.row() && row+cRows <= src.row()"));
  EXPECT_DEATH(band.submatrix(0, 0, 1, 3), assertionText("m_row == row && m_col == col"));

  PrMatrix a(2, 3), b(3, 2);
  EXPECT_DEATH(PrMatrix(-1, 2), assertionText("m_row >= 0 && m_col >= 0"));
  EXPECT_DEATH(a(2, 0), assertionText("row >= 0 && row < m_row && col >= 0 && col < m_col"));
  EXPECT_DEATH(a.identity(), assertionText("m_row == m_col"));
  EXPECT_DEATH(a.add(b, a), assertionText("m_row == rhs.m_row && m_col == rhs.m_col"));
  EXPECT_DEATH(a.multiply(a, b), assertionText("m_col == rhs.m_row"));
  EXPECT_DEATH(a.multiply(b, a), assertionText("&dest != &rhs && &dest != this"));
  EXPECT_DEATH(a.transpose(a), assertionText("&dest != this"));
  EXPECT_DEATH(a.appendVertical(b), assertionText("m_col == rhs.m_col || m_size == 0"));
  EXPECT_DEATH(a.appendHorizontal(b), assertionText("m_row == rhs.m_row || m_size == 0"));
  EXPECT_DEATH(a.submatrix(1, 0, 1, 3),
               assertionText("0 <= rowStart && rowStart < rowEnd && rowEnd <= m_row"));

  PrMatrix sq(3, 3);
  EXPECT_DEATH(sq.multiplyInPlace(sq), assertionText("&rhs != this"));
  EXPECT_DEATH(sq.preMultiply(sq), assertionText("&mult != this"));
  EXPECT_DEATH(a.preMultiply(sq), assertionText("mult.row() == mult.column() && mult.column() == m_row"));
  PrVector v3(3);
  // Starting one past the last row is only valid for an empty run.
  EXPECT_DEATH(a.getSubvector(2, 0, v3, true), assertionText("dest.size() == 0 || row < m_row"));
  EXPECT_DEATH(a.getSubvector(0, 1, v3, true), assertionText("col + dest.size() <= m_col"));
}

//---- comparisons -----------------------------------------------------------------

TEST(PrMatrixValues, EqualityComparesBits) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float plus[] = {0.0f, nan}, minus[] = {-0.0f, nan};
  const PrMatrix a(plus, 1, 2), b(plus, 1, 2), c(minus, 1, 2);
  EXPECT_TRUE(a == b);   // the same NaN bits
  EXPECT_FALSE(a == c);  // +0 and -0 differ
  EXPECT_FALSE(PrMatrix(2, 3) == PrMatrix(3, 2));
  EXPECT_TRUE(PrMatrix(0, 3) != PrMatrix());
  EXPECT_FALSE(a.isFinite());
  EXPECT_TRUE(PrMatrix(minus, 1, 1).isZero());
}

TEST(PrMatrixValues, IdentityPredicate) {
  EXPECT_TRUE(PrMatrix().isIdentity());
  PrMatrix eye(3, 3);
  eye.identity();
  EXPECT_TRUE(eye.isIdentity());
  eye(0, 2) = 1e-30f;
  EXPECT_FALSE(eye.isIdentity());
  const float ones[] = {1, 0};
  EXPECT_FALSE(PrMatrix(ones, 1, 2).isIdentity());
}

//---- products ------------------------------------------------------------------

TEST(PrMatrixProducts, MultiplyMatchesADoublePrecisionReference) {
  const PrMatrix a = randomMatrix(4, 6, 1), b = randomMatrix(6, 3, 2), bt = randomMatrix(3, 6, 3);
  PrMatrix dest;
  a.multiply(b, dest);
  expectNear(dest, referenceProduct(a, b), 1e-5f);
  a.multiply(bt, dest, true);
  expectNear(dest, referenceProduct(a, bt, true), 1e-5f);
  expectNear(a * b, referenceProduct(a, b), 1e-5f);

  a.transposedMultiply(randomMatrix(4, 2, 4), dest);
  expectNear(dest, referenceProduct(referenceTranspose(a), randomMatrix(4, 2, 4)), 1e-5f);

  const PrVector x = prtest::randomVector(6, 5);
  PrVector y;
  a.multiply(x, y);
  PrMatrix column(x.dataPtr(), 6, 1);
  const PrMatrix expected = referenceProduct(a, column);
  ASSERT_EQ(y.size(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(y[i], expected(i, 0), 1e-5f);

  const PrVector z = prtest::randomVector(4, 6);
  PrVector atz;
  a.transposedMultiply(z, atz);
  const PrMatrix expectedT = referenceProduct(referenceTranspose(a), PrMatrix(z.dataPtr(), 4, 1));
  ASSERT_EQ(atz.size(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(atz[i], expectedT(i, 0), 1e-5f);
}

TEST(PrMatrixProducts, InPlaceProductsMatchTheDestinationForms) {
  const PrMatrix a = randomMatrix(4, 3, 7), square = randomMatrix(3, 3, 8);
  PrVector work;
  for (bool transposed : {false, true}) {
    PrMatrix inPlace(a);
    inPlace.multiplyInPlace(square, transposed, &work);
    expectNear(inPlace, referenceProduct(a, square, transposed), 1e-5f);
    PrMatrix local(a);
    local.multiplyInPlace(square, transposed);
    EXPECT_EQ(local, inPlace);
  }

  // A non-square right-hand side changes the shape.
  PrMatrix reshaped(a);
  const PrMatrix wide = randomMatrix(3, 5, 9);
  reshaped.multiplyInPlace(wide);
  expectNear(reshaped, referenceProduct(a, wide), 1e-5f);
  PrMatrix gram(a);
  gram.multiplyInPlace(a, true);  // a·aᵀ through a temporary, though rhs is this
  expectNear(gram, referenceProduct(a, a, true), 1e-5f);

  const PrMatrix mult = randomMatrix(4, 4, 10);
  PrMatrix pre(a);
  pre.preMultiply(mult, &work);
  expectNear(pre, referenceProduct(mult, a), 1e-5f);
  PrMatrix preLocal(a);
  preLocal.preMultiply(mult);
  EXPECT_EQ(preLocal, pre);
}

TEST(PrMatrixProducts, ElementWiseArithmeticAndTranspose) {
  const PrMatrix a = randomMatrix(3, 2, 11), b = randomMatrix(3, 2, 12);
  const PrMatrix sum = a + b, difference = a - b, scaled = 0.5f * a;
  PrMatrix acc(a);
  acc += b;
  acc -= b;
  acc *= 2.0f;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 2; ++c) {
      EXPECT_EQ(sum(r, c), a(r, c) + b(r, c));
      EXPECT_EQ(difference(r, c), a(r, c) - b(r, c));
      EXPECT_EQ(scaled(r, c), a(r, c) * 0.5f);
      EXPECT_NEAR(acc(r, c), 2.0f * a(r, c), 1e-6f);
    }
  }
  PrMatrix t;
  a.transpose(t);
  EXPECT_EQ(t, referenceTranspose(a));
}

//---- display -------------------------------------------------------------------

TEST(PrMatrixDisplay, NamedAndUnnamedFormats) {
  const float values[] = {1, -2.5f, 1234567, 0.0001f};
  const PrMatrix m(values, 2, 2);
  {
    prtest::ConsoleCapture capture;
    m.display("J");
    EXPECT_EQ(capture.text(), "J =\n (         1       -2.5)\n ( 1.235e+06     0.0001)\n");
  }
  {
    prtest::ConsoleCapture capture;
    m.display();
    EXPECT_EQ(capture.text(), " (         1       -2.5)\n ( 1.235e+06     0.0001)\n");
  }
}
