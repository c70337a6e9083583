#include <gtest/gtest.h>

#include <utility>

#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix6.h"
#include "matrix/PrVector3.h"
#include "matrix/PrVector6.h"

using prtest::assertionText;

TEST(PrVector6, HalvesViewTheOwnElements) {
  PrVector6 v(1, 2, 3, 4, 5, 6);
  EXPECT_EQ(v.first(), PrVector3(1, 2, 3));
  EXPECT_EQ(v.second(), PrVector3(4, 5, 6));
  v.second()[1] = 50;
  EXPECT_EQ(v[4], 50.0f);
  v.first() = PrVector3(-1, -2, -3);
  EXPECT_EQ(v, PrVector6(-1, -2, -3, 4, 50, 6));
  // A half passes wherever a 3-element vector is expected.
  EXPECT_EQ(v.first().cross(v.second()), PrVector3(-1, -2, -3).cross(PrVector3(4, 50, 6)));
  EXPECT_EQ(PrVector6(PrVector3(1, 2, 3), PrVector3(4, 5, 6)), PrVector6(1, 2, 3, 4, 5, 6));
}

TEST(PrVector6, CopiesKeepTheirHalvesOnTheirOwnStorage) {
  PrVector6 original(1, 2, 3, 4, 5, 6);
  PrVector6 copy(original);
  PrVector6 moved(std::move(copy));
  PrVector6 assigned;
  assigned = original;
  for (PrVector6* v : {&copy, &moved, &assigned}) {
    v->first()[0] = 100;
    v->second()[2] = 200;
    EXPECT_EQ(v->first().dataPtr(), v->dataPtr());
    EXPECT_EQ(v->second().dataPtr(), v->dataPtr() + 3);
  }
  EXPECT_EQ(original, PrVector6(1, 2, 3, 4, 5, 6));
  EXPECT_EQ(moved, PrVector6(100, 2, 3, 4, 5, 200));

  PrVector generic(std::move(original));  // the generic move copies a fixed-size source
  EXPECT_EQ(original, PrVector6(1, 2, 3, 4, 5, 6));
  EXPECT_NE(generic.dataPtr(), original.dataPtr());
}

TEST(PrVector6, OnlyTheOwnSizeIsAccepted) {
  PrVector6 v;
  EXPECT_FALSE(v.isDynamic());
  v.setSize(6);
  EXPECT_DEATH(v.setSize(3), assertionText("newSize == 6"));
  EXPECT_DEATH((void)v[6], assertionText("ii >= 0 && ii < 6"));
  EXPECT_DEATH((void)PrVector6(PrVector(5)), assertionText("rhs.size() == 6"));
  EXPECT_DEATH(v = PrVector(3), assertionText("rhs.size() == 6"));
  EXPECT_DEATH(v += PrVector(3), assertionText("rhs.size() == 6"));
  EXPECT_DEATH((void)v.dot(PrVector(3)), assertionText("rhs.size() == 6"));
  v = static_cast<const PrVector&>(v);  // self-assignment is harmless
  const float raw[] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(PrVector6(raw), PrVector6(1, 2, 3, 4, 5, 6));
  EXPECT_EQ(PrVector6(static_cast<const float*>(nullptr)), PrVector6());
  EXPECT_FALSE(PrVector6() == PrVector(5));
}

TEST(PrVector6, ArithmeticAgreesWithTheGenericVector) {
  const PrVector6 a(1, -2, 3, -4, 5, -6);
  const PrVector6 b(0.5f, 0.25f, 2, 8, -1, 3);
  const PrVector ga(a), gb(b);
  EXPECT_EQ(a + b, ga + gb);
  EXPECT_EQ(a - b, ga - gb);
  EXPECT_EQ(-a, -ga);
  EXPECT_EQ(a * 1.5f, ga * 1.5f);
  EXPECT_EQ(1.5f * a, ga * 1.5f);
  EXPECT_FLOAT_EQ(a.dot(b), ga.dot(gb));
  PrVector6 e;
  a.multiplyElements(b, e);
  PrVector ge;
  ga.multiplyElements(gb, ge);
  EXPECT_EQ(e, ge);
  PrVector6 c = a;
  c.multiplyElements(b);
  EXPECT_EQ(c, ge);
  c = a;
  c += b;
  c -= b;
  EXPECT_EQ(c, a);
  c *= -1.0f;
  EXPECT_EQ(c, -a);
  c.zero();
  EXPECT_EQ(c, PrVector6());
  PrMatrix6 outer;
  a.outerProduct(b, outer);
  PrMatrix genericOuter;
  ga.outerProduct(gb, genericOuter);
  EXPECT_EQ(PrMatrix(outer), genericOuter);
}

TEST(PrVector6, DisplayFormats) {
  const PrVector6 v(1, 2, 3, 4, 5, 6);
  {
    prtest::ConsoleCapture capture;
    v.display("f");
    EXPECT_EQ(capture.text(), "f =\n((1.000000 2.000000 3.000000) (4.000000 5.000000 6.000000))\n");
  }
  prtest::ConsoleCapture capture;
  v.display();
  EXPECT_EQ(capture.text(), "((1.000000 2.000000 3.000000) (4.000000 5.000000 6.000000))");
}
