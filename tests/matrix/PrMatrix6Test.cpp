#include <gtest/gtest.h>

#include <utility>

#include "FixedSizeTestSupport.h"
#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrMatrix6.h"
#include "matrix/PrVector6.h"

using prtest::assertionText;

namespace {

PrMatrix6 randomMatrix6(unsigned seed) { return PrMatrix6(prtest::randomMatrix(6, 6, seed)); }

}  // namespace

TEST(PrMatrix6, BlocksGoToTheirQuadrants) {
  const PrMatrix3 tl(1, 1, 1, 1, 1, 1, 1, 1, 1);
  const PrMatrix3 tr(2, 2, 2, 2, 2, 2, 2, 2, 2);
  const PrMatrix3 bl(3, 3, 3, 3, 3, 3, 3, 3, 3);
  const PrMatrix3 br(4, 4, 4, 4, 4, 4, 4, 4, 4);
  const PrMatrix6 m(tl, tr, bl, br);
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 6; ++c)
      EXPECT_EQ(m(r, c), static_cast<float>(1 + (c >= 3) + 2 * (r >= 3))) << r << ", " << c;
  }
  PrMatrix3 block;
  m.getSubmatrix(0, 3, block);
  EXPECT_EQ(block, tr);
  PrMatrix6 n;
  n.setSubmatrix(3, 0, bl);
  EXPECT_EQ(n(5, 2), 3.0f);
  EXPECT_EQ(n(2, 2), 0.0f);
  // Inner 3×3 blocks and other block shapes work too.
  m.getSubmatrix(2, 2, block);
  EXPECT_EQ(block, PrMatrix3(1, 2, 2, 3, 4, 4, 3, 4, 4));
  PrMatrix strip(2, 6);
  m.getSubmatrix(2, 0, strip);
  EXPECT_EQ(strip(1, 5), 4.0f);
  EXPECT_DEATH(m.getSubmatrix(4, 0, block), assertionText("row >= 0 && row <= 3"));
  EXPECT_DEATH(n.setSubmatrix(0, -1, tl), assertionText("col >= 0 && col <= 3"));
}

TEST(PrMatrix6, StorageConstructionAndShape) {
  float raw[36];
  for (int i = 0; i < 36; ++i) raw[i] = static_cast<float>(i);
  const PrMatrix6 rows(raw);
  const PrMatrix6 cols(raw, true);
  EXPECT_EQ(rows(1, 2), 8.0f);
  EXPECT_EQ(cols(1, 2), 13.0f);
  EXPECT_TRUE(PrMatrix6(static_cast<const float*>(nullptr)).isZero());
  PrMatrix6 m = rows;
  EXPECT_FALSE(m.isDynamic());
  EXPECT_DEATH(m.setSize(3, 3), assertionText("row == 6 && col == 6"));
  EXPECT_DEATH((void)m[6], assertionText("row >= 0 && row < 6"));
  EXPECT_DEATH((void)PrMatrix6(PrMatrix(3, 3)), assertionText("rhs.row() == 6 && rhs.column() == 6"));
  PrMatrix6 copy(std::move(m));
  EXPECT_EQ(copy, m);
  EXPECT_NE(copy.dataPtr(), m.dataPtr());
}

TEST(PrMatrix6, DiagonalRowsAndColumns) {
  PrMatrix6 m;
  m.setDiagonal(1, 2, 3, 4, 5, 6);
  EXPECT_EQ(m.getDiagonal(), PrVector6(1, 2, 3, 4, 5, 6));
  m.setDiagonal(PrVector6(6, 5, 4, 3, 2, 1));
  PrVector d;
  m.getDiagonal(d);
  EXPECT_EQ(d, PrVector6(6, 5, 4, 3, 2, 1));
  m.setDiagonal(7.0f);
  EXPECT_EQ(m.getDiagonal(), PrVector6(7, 7, 7, 7, 7, 7));
  EXPECT_EQ(m(0, 1), 0.0f);
  EXPECT_DEATH(m.setDiagonal(PrVector(5)), assertionText("src.size() == 6"));

  const PrMatrix6 r = randomMatrix6(11);
  PrVector6 row;
  r.getRow(4, row);
  PrVector6 col;
  r.getColumn(1, col);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(row[i], r(4, i));
    EXPECT_EQ(col[i], r(i, 1));
  }
  EXPECT_DEATH(r.getRow(6, row), assertionText("row >= 0 && row < 6"));
  EXPECT_DEATH(r.getColumn(-1, col), assertionText("col >= 0 && col < 6"));
}

TEST(PrMatrix6, WrittenOutProductsEqualTheGenericOnesBitForBit) {
  const PrMatrix6 a = randomMatrix6(12);
  const PrMatrix6 b = randomMatrix6(13);
  const PrMatrix ga(a), gb(b);
  for (bool transpose : {false, true}) {
    PrMatrix6 fixed;
    a.multiply(b, fixed, transpose);
    PrMatrix generic;
    ga.multiply(gb, generic, transpose);
    EXPECT_EQ(PrMatrix(fixed), generic) << "transpose " << transpose;
    fixedtest::expectMatrixNear(fixed, prtest::referenceProduct(ga, gb, transpose), 1e-5f);
  }
  PrMatrix6 tm;
  a.transposedMultiply(b, tm);
  fixedtest::expectMatrixNear(tm, prtest::referenceProduct(prtest::referenceTranspose(ga), gb), 1e-5f);
  PrMatrix6 t;
  a.transpose(t);
  EXPECT_EQ(PrMatrix(t), prtest::referenceTranspose(ga));
  EXPECT_EQ(PrMatrix(a * b), ga * gb);

  const PrVector6 v(0.1f, -0.2f, 0.3f, 0.4f, -0.5f, 0.6f);
  PrVector gv;
  ga.multiply(PrVector(v), gv);
  EXPECT_EQ(a * v, gv);
  PrVector6 tv;
  a.transposedMultiply(v, tv);
  ga.transposedMultiply(PrVector(v), gv);
  EXPECT_EQ(tv, gv);

  PrMatrix wide;
  a.multiply(prtest::randomMatrix(6, 2, 14), wide);  // other shapes: the generic form
  EXPECT_EQ(wide, ga * prtest::randomMatrix(6, 2, 14));
}

TEST(PrMatrix6, ArithmeticAndPreconditions) {
  PrMatrix6 a = randomMatrix6(15);
  PrMatrix6 b = randomMatrix6(16);
  EXPECT_EQ(PrMatrix(a + b), PrMatrix(a) + PrMatrix(b));
  EXPECT_EQ(PrMatrix(a - b), PrMatrix(a) - PrMatrix(b));
  EXPECT_EQ(PrMatrix(-a), -PrMatrix(a));
  EXPECT_EQ(PrMatrix(a * 0.5f), PrMatrix(a) * 0.5f);
  PrMatrix6 c = a;
  c += b;
  c -= b;
  c *= 2.0f;
  fixedtest::expectMatrixNear(c, a * 2.0f, 1e-6f);
  c.identity();
  EXPECT_TRUE(c.isIdentity());
  const char* alias = "&dest != static_cast<const PrMatrix*>(this) && &dest != &rhs";
  EXPECT_DEATH(a.multiply(b, a), assertionText(alias));
  EXPECT_DEATH(a.transposedMultiply(b, b), assertionText(alias));
  EXPECT_DEATH(a.transpose(a), assertionText("&dest != static_cast<const PrMatrix*>(this)"));
  PrVector6 v;
  EXPECT_DEATH(a.multiply(v, v), assertionText("&dest != &rhs"));
  EXPECT_DEATH(a.transposedMultiply(PrVector(3), v), assertionText("rhs.size() == 6"));
  EXPECT_DEATH(a.add(PrMatrix(6, 5), b), assertionText("rhs.row() == 6 && rhs.column() == 6"));
}

TEST(PrMatrix6, DisplayFormat) {
  PrMatrix6 m;
  m.identity();
  prtest::ConsoleCapture capture;
  m.display("I");
  std::string expected = "I =\n";
  for (int r = 0; r < 6; ++r) {
    expected += "[";
    for (int c = 0; c < 6; ++c) expected += std::string(c ? " " : "") + (r == c ? "1.000000" : "0.000000");
    expected += "]\n";
  }
  EXPECT_EQ(capture.text(), expected);
}
