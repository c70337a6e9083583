#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrVector3.h"

using prtest::assertionText;

TEST(PrVector3, StorageIsInlineAndOnlyTheOwnSizeIsAccepted) {
  PrVector3 v(1, 2, 3);
  EXPECT_FALSE(v.isDynamic());
  const float* inside = reinterpret_cast<const float*>(&v);
  EXPECT_TRUE(v.dataPtr() > inside && v.dataPtr() < inside + sizeof(PrVector3) / sizeof(float));
  v.setSize(3);
  EXPECT_EQ(v, PrVector3(1, 2, 3));
  v.setSize(3, true);
  EXPECT_EQ(v, PrVector3());
  EXPECT_DEATH(v.setSize(4), assertionText("newSize == 3"));
  EXPECT_DEATH((void)v[3], assertionText("ii >= 0 && ii < 3"));
  EXPECT_DEATH((void)v[-1], assertionText("ii >= 0 && ii < 3"));
}

TEST(PrVector3, ConstructionFromGenericVectorsChecksTheSize) {
  const float raw[] = {4, 5, 6};
  EXPECT_EQ(PrVector3(raw), PrVector3(4, 5, 6));
  EXPECT_EQ(PrVector3(static_cast<const float*>(nullptr)), PrVector3());
  EXPECT_EQ(PrVector3(PrVector(raw, 3)), PrVector3(4, 5, 6));
  EXPECT_DEATH((void)PrVector3(PrVector(4)), assertionText("rhs.size() == 3"));
  PrVector3 v;
  EXPECT_DEATH(v = PrVector(2), assertionText("newSize == 3"));
}

TEST(PrVector3, CopiesAndMovesNeverShareOrStealTheInlineStorage) {
  PrVector3 a(1, 2, 3);
  PrVector3 b(std::move(a));  // no move constructor: a copy
  EXPECT_EQ(a, PrVector3(1, 2, 3));
  EXPECT_NE(a.dataPtr(), b.dataPtr());

  // The generic move constructor and move assignment must copy, not take, a
  // fixed-size source.
  PrVector3 c(7, 8, 9);
  const float* cStorage = c.dataPtr();
  PrVector moved(std::move(c));
  EXPECT_EQ(c.dataPtr(), cStorage);
  EXPECT_EQ(c, PrVector3(7, 8, 9));
  EXPECT_NE(moved.dataPtr(), cStorage);
  PrVector assigned;
  assigned = std::move(c);
  EXPECT_EQ(c, PrVector3(7, 8, 9));
  EXPECT_NE(assigned.dataPtr(), cStorage);

  // transfer from a dynamic vector into a fixed one copies and keeps the source.
  PrVector dynamic(c);
  PrVector3 target;
  target.transfer(dynamic);
  EXPECT_EQ(target, c);
  EXPECT_EQ(dynamic.size(), 3);
}

TEST(PrVector3, WorksAsTheDestinationOfGenericOperations) {
  const PrVector a = PrVector3(1, 2, 3);
  const PrVector b = PrVector3(-4, 0.5f, 2);
  PrVector3 dest;
  a.add(b, dest);
  EXPECT_EQ(dest, PrVector3(-3, 2.5f, 5));
  a.cross(b, dest);
  EXPECT_EQ(dest, a.cross(b));
  PrMatrix m(3, 3);
  m.identity();
  m.multiply(a, dest);
  EXPECT_EQ(dest, a);
  EXPECT_DEATH(PrVector(4).add(PrVector(4), dest), assertionText("newSize == 3"));
}

TEST(PrVector3, ArithmeticMatchesComponentFormulas) {
  const PrVector3 a(1, -2, 3);
  const PrVector3 b(0.5f, 4, -1);
  EXPECT_EQ(a + b, PrVector3(1.5f, 2, 2));
  EXPECT_EQ(a - b, PrVector3(0.5f, -6, 4));
  EXPECT_EQ(-a, PrVector3(-1, 2, -3));
  EXPECT_EQ(a * 2.0f, PrVector3(2, -4, 6));
  EXPECT_EQ(2.0f * a, PrVector3(2, -4, 6));
  EXPECT_EQ(a / 4.0f, PrVector3(0.25f, -0.5f, 0.75f));
  EXPECT_FLOAT_EQ(a.dot(b), 0.5f - 8 - 3);
  EXPECT_FLOAT_EQ(a.magnitude(), std::sqrt(14.0f));
  PrVector3 c = a;
  c += b;
  c -= a;
  EXPECT_EQ(c, b);
  c *= 3.0f;
  c /= 3.0f;
  EXPECT_NEAR(c[1], 4.0f, 1e-6f);
  EXPECT_EQ(a.x(), 1.0f);
  EXPECT_EQ(a.y(), -2.0f);
  EXPECT_EQ(a.z(), 3.0f);
  EXPECT_DEATH(c += PrVector(2), assertionText("rhs.size() == 3"));
  EXPECT_DEATH((void)a.dot(PrVector(4)), assertionText("rhs.size() == 3"));
}

TEST(PrVector3, CrossProductIsOrthogonalAndMatchesItsMatrix) {
  const PrVector3 a(0.3f, -1.2f, 2.0f);
  const PrVector3 b(1.5f, 0.7f, -0.4f);
  const PrVector3 c = a.cross(b);
  EXPECT_NEAR(c.dot(a), 0.0f, 1e-5f);
  EXPECT_NEAR(c.dot(b), 0.0f, 1e-5f);
  // |a × b|² = |a|²|b|² − (a·b)²
  EXPECT_NEAR(c.dot(c), a.dot(a) * b.dot(b) - a.dot(b) * a.dot(b), 1e-4f);
  EXPECT_EQ(PrVector3(1, 0, 0).cross(PrVector3(0, 1, 0)), PrVector3(0, 0, 1));
  EXPECT_EQ(a.crossMatrix() * b, c);
  EXPECT_DEATH((void)PrVector(4).cross(b), assertionText("m_size == 3"));
  EXPECT_DEATH((void)a.cross(PrVector(2)), assertionText("rhs.m_size == 3"));
  EXPECT_DEATH((void)PrVector(2).crossMatrix(), assertionText("m_size == 3"));
}

TEST(PrVector3, NormalizeGivesUnitLengthAndTheZeroVectorBecomesNonFinite) {
  PrVector3 v(3, 0, 4);
  v.normalize();
  EXPECT_EQ(v, PrVector3(0.6f, 0, 0.8f));
  PrVector3 zero;
  zero.normalize();
  EXPECT_FALSE(zero.isFinite());
}

TEST(PrVector3, OuterProductAndEquality) {
  const PrVector3 a(1, 2, 3);
  PrMatrix3 m;
  a.outerProduct(PrVector3(4, 5, 6), m);
  EXPECT_EQ(m, PrMatrix3(4, 5, 6, 8, 10, 12, 12, 15, 18));
  PrMatrix wide;
  a.outerProduct(PrVector(4), wide);  // generic form for other sizes
  EXPECT_EQ(wide.row(), 3);
  EXPECT_EQ(wide.column(), 4);
  EXPECT_FALSE(a == PrVector(4));
  EXPECT_TRUE(a == PrVector(a));
  EXPECT_TRUE(a != PrVector3(1, 2, 4));
}

TEST(PrVector3, DisplayFormats) {
  const PrVector3 v(1, -2.5f, 0.125f);
  {
    prtest::ConsoleCapture capture;
    v.display("p");
    EXPECT_EQ(capture.text(), "p = (1.000000 -2.500000 0.125000)\n");
  }
  prtest::ConsoleCapture capture;
  v.display();
  EXPECT_EQ(capture.text(), "(1.000000 -2.500000 0.125000)");
}
