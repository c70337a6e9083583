#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "FixedSizeTestSupport.h"
#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrVector3.h"

using fixedtest::expectMatrixNear;
using fixedtest::expectVectorNear;
using prtest::assertionText;

namespace {

PrMatrix3 randomMatrix3(unsigned seed) { return PrMatrix3(prtest::randomMatrix(3, 3, seed)); }

}  // namespace

TEST(PrMatrix3, StorageIsInlineAndOnlyTheOwnShapeIsAccepted) {
  PrMatrix3 m(1, 2, 3, 4, 5, 6, 7, 8, 9);
  EXPECT_FALSE(m.isDynamic());
  EXPECT_EQ(m(1, 2), 6.0f);
  EXPECT_EQ(m[2][0], 7.0f);
  m.setSize(3, 3);
  EXPECT_DEATH(m.setSize(3, 4), assertionText("row == 3 && col == 3"));
  EXPECT_DEATH((void)m[3], assertionText("row >= 0 && row < 3"));
  // A generic source of another shape is refused, not read past its end.
  EXPECT_DEATH((void)PrMatrix3(PrMatrix(2, 2)), assertionText("rhs.row() == 3 && rhs.column() == 3"));
  EXPECT_DEATH((void)PrMatrix3(PrMatrix(1, 9)), assertionText("rhs.row() == 3 && rhs.column() == 3"));
  EXPECT_DEATH(m = PrMatrix(2, 2), assertionText("row == 3 && col == 3"));

  PrMatrix3 copy(std::move(m));  // no move constructor: a copy
  EXPECT_EQ(m, copy);
  EXPECT_NE(m.dataPtr(), copy.dataPtr());
  PrMatrix generic(std::move(m));
  EXPECT_EQ(generic, copy);
  EXPECT_NE(generic.dataPtr(), m.dataPtr());
}

TEST(PrMatrix3, SetReadsRowsOrColumns) {
  PrMatrix3 m;
  m.set(1, 2, 3, 4, 5, 6, 7, 8, 9);
  EXPECT_EQ(m, PrMatrix3(1, 2, 3, 4, 5, 6, 7, 8, 9));
  m.set(1, 2, 3, 4, 5, 6, 7, 8, 9, true);
  EXPECT_EQ(m, PrMatrix3(1, 4, 7, 2, 5, 8, 3, 6, 9));
  m.identity();
  EXPECT_TRUE(m.isIdentity());
  m.zero();
  EXPECT_TRUE(m.isZero());
}

TEST(PrMatrix3, WrittenOutProductsEqualTheGenericOnesBitForBit) {
  const PrMatrix3 a = randomMatrix3(1);
  const PrMatrix3 b = randomMatrix3(2);
  const PrMatrix ga(a), gb(b);
  for (bool transpose : {false, true}) {
    PrMatrix3 fixed;
    a.multiply(b, fixed, transpose);
    PrMatrix generic;
    ga.multiply(gb, generic, transpose);
    EXPECT_EQ(PrMatrix(fixed), generic) << "transpose " << transpose;
    expectMatrixNear(fixed, prtest::referenceProduct(ga, gb, transpose), 1e-5f);
  }
  PrMatrix3 tm;
  a.transposedMultiply(b, tm);
  PrMatrix gtm;
  ga.transposedMultiply(gb, gtm);
  EXPECT_EQ(PrMatrix(tm), gtm);
  PrMatrix3 t;
  a.transpose(t);
  EXPECT_EQ(PrMatrix(t), prtest::referenceTranspose(ga));
  EXPECT_EQ(PrMatrix(a * b), ga * gb);

  const PrVector3 v(0.3f, -0.7f, 1.1f);
  PrVector gv;
  ga.multiply(PrVector(v), gv);
  EXPECT_EQ(a * v, gv);
  PrVector3 tv;
  a.transposedMultiply(v, tv);
  ga.transposedMultiply(PrVector(v), gv);
  EXPECT_EQ(tv, gv);
}

TEST(PrMatrix3, OtherShapesFallBackToTheGenericRoutines) {
  const PrMatrix3 a = randomMatrix3(3);
  const PrMatrix wide = prtest::randomMatrix(3, 5, 4);
  PrMatrix dest;
  a.multiply(wide, dest);
  EXPECT_EQ(dest, PrMatrix(a) * wide);
  EXPECT_EQ(a * wide, PrMatrix(a) * wide);
  a.transposedMultiply(wide, dest);
  PrMatrix expected;
  PrMatrix(a).transposedMultiply(wide, expected);
  EXPECT_EQ(dest, expected);
}

TEST(PrMatrix3, AliasingAndShapePreconditions) {
  PrMatrix3 a = randomMatrix3(5);
  PrMatrix3 b = randomMatrix3(6);
  const char* alias = "&dest != static_cast<const PrMatrix*>(this) && &dest != &rhs";
  EXPECT_DEATH(a.multiply(b, a), assertionText(alias));
  EXPECT_DEATH(a.multiply(b, b), assertionText(alias));
  EXPECT_DEATH(a.transpose(a), assertionText("&dest != static_cast<const PrMatrix*>(this)"));
  PrVector3 v;
  EXPECT_DEATH(a.multiply(v, v), assertionText("&dest != &rhs"));
  EXPECT_DEATH(a.multiply(PrVector(4), v), assertionText("rhs.size() == 3"));
  EXPECT_DEATH(a.add(PrMatrix(3, 4), b), assertionText("rhs.row() == 3 && rhs.column() == 3"));
  EXPECT_DEATH(a -= PrMatrix(2, 3), assertionText("rhs.row() == 3 && rhs.column() == 3"));
  PrMatrix3 wrongDest;
  EXPECT_DEATH(a.multiply(prtest::randomMatrix(3, 4, 7), wrongDest), assertionText("row == 3 && col == 3"));
}

TEST(PrMatrix3, SumsAndScaling) {
  const PrMatrix3 a = randomMatrix3(8);
  const PrMatrix3 b = randomMatrix3(9);
  EXPECT_EQ(PrMatrix(a + b), PrMatrix(a) + PrMatrix(b));
  EXPECT_EQ(PrMatrix(a - b), PrMatrix(a) - PrMatrix(b));
  EXPECT_EQ(PrMatrix(-a), -PrMatrix(a));
  EXPECT_EQ(PrMatrix(a * 2.5f), PrMatrix(a) * 2.5f);
  EXPECT_EQ(PrMatrix(2.5f * a), PrMatrix(a) * 2.5f);
  PrMatrix3 c = a;
  c += b;
  c -= b;
  c *= 1.0f;
  expectMatrixNear(c, a, 1e-6f);
}

TEST(PrMatrix3, AxisAngleRotationMatchesElementaryRotationsAndRodrigues) {
  PrMatrix3 r;
  r.fromAxisAngle(PrVector3(0, 0, 2), 0.7f);  // the axis is normalised
  expectMatrixNear(r, fixedtest::rotZ(0.7f), 1e-6f);
  r.fromAxisAngle(PrVector3(-3, 0, 0), 0.4f);
  expectMatrixNear(r, fixedtest::rotX(-0.4f), 1e-6f);
  // A general axis: R·k = k, R orthonormal, rotating a perpendicular vector by θ.
  const PrVector3 k = PrVector3(1, 2, 2) / 3.0f;
  r.fromAxisAngle(k, 1.2f);
  expectVectorNear(r * k, k, 1e-6f);
  PrMatrix3 rtr;
  r.transposedMultiply(r, rtr);
  expectMatrixNear(rtr, PrMatrix3(1, 0, 0, 0, 1, 0, 0, 0, 1), 1e-6f);
  const PrVector3 u = PrVector3(2, -1, 0) / std::sqrt(5.0f);
  EXPECT_NEAR((r * u).dot(u), std::cos(1.2f), 1e-6f);
  expectVectorNear((r * u).cross(u), k * -std::sin(1.2f), 1e-6f);
}

TEST(PrMatrix3, OrientationError) {
  const PrMatrix3 rd = fixedtest::product(fixedtest::rotZ(0.3), fixedtest::rotX(-1.1));
  PrVector3 e;
  rd.orientationError(rd, e);
  expectVectorNear(e, PrVector3(), 1e-6f);
  // The identity against a turn by α about z: (0, 0, −sin α).
  PrMatrix3 eye;
  eye.identity();
  const float alpha = 0.6f;
  eye.orientationError(fixedtest::rotZ(alpha), e);
  expectVectorNear(e, PrVector3(0, 0, -std::sin(alpha)), 1e-6f);
  // Small error about a general axis: R = Rd·exp(δ) gives e ≈ Rd·δ.
  const PrVector3 delta(0.001f, -0.002f, 0.0015f);
  PrMatrix3 small;
  small.fromAxisAngle(delta, delta.magnitude());
  const PrMatrix3 r = fixedtest::product(rd, small);
  r.orientationError(rd, e);
  expectVectorNear(e, rd * delta, 1e-5f);
  PrVector generic;
  r.orientationError(rd, generic);
  EXPECT_EQ(generic.size(), 3);
  EXPECT_DEATH(r.orientationError(PrMatrix(3, 2), e), assertionText("Rd.row() == 3 && Rd.column() == 3"));
}

TEST(PrMatrix3, DisplayFormats) {
  const PrMatrix3 m(1, 2, 3, 4, 5, 6, 7, 8, 9.5f);
  const char* rows =
      "[1.000000 2.000000 3.000000]\n[4.000000 5.000000 6.000000]\n[7.000000 8.000000 9.500000]\n";
  {
    prtest::ConsoleCapture capture;
    m.display("R");
    EXPECT_EQ(capture.text(), std::string("R =\n") + rows);
  }
  prtest::ConsoleCapture capture;
  m.display();
  EXPECT_EQ(capture.text(), rows);
}
