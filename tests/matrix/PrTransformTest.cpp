#include <gtest/gtest.h>

#include "FixedSizeTestSupport.h"
#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrMatrix6.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector3.h"
#include "matrix/PrVector6.h"

using fixedtest::expectMatrixNear;
using fixedtest::expectVectorNear;
using fixedtest::rotationOf;
using prtest::assertionText;

namespace {

class PrTransformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto qs = fixedtest::randomRotations(2, 31);
    a = PrTransform(qs[0], PrVector3(0.4f, -1.2f, 0.9f));
    b = PrTransform(qs[1], PrVector3(-0.3f, 0.2f, 1.5f));
  }
  PrTransform a;
  PrTransform b;
};

// [[R, 0], [[t×]R, R]]: the force transform from child to parent, built from blocks.
PrMatrix6 forceMatrix(const PrTransform& x) {
  const PrMatrix3 r = rotationOf(x.rotation);
  const PrMatrix3 zero;
  return PrMatrix6(r, zero, x.translation.crossMatrix() * r, r);
}

}  // namespace

TEST_F(PrTransformTest, ComposedFramesMapPointsLikeTheirComposition) {
  const PrVector3 p(0.7f, 0.1f, -2.0f);
  expectVectorNear((a * b) * p, a * (b * p), 5e-6f);
  expectMatrixNear(rotationOf((a * b).rotation),
                   fixedtest::product(rotationOf(a.rotation), rotationOf(b.rotation)), 2e-6f);
  // A point maps to R·p + t.
  expectVectorNear(a * p, rotationOf(a.rotation) * p + a.translation, 5e-6f);
  PrVector3 q = p;
  a.transform(q, q);  // may write over its input
  EXPECT_EQ(q, a * p);
  EXPECT_DEATH(a.transform(PrVector(4), q), assertionText("rhs.size() == 3"));

  // Destinations may be either operand.
  const PrTransform expected = a * b;
  PrTransform c = a;
  c.multiply(b, c);
  EXPECT_EQ(c.translation, expected.translation);
  EXPECT_EQ(c.rotation.v, expected.rotation.v);
  PrTransform d = b;
  a.multiply(d, d);
  EXPECT_EQ(d.translation, expected.translation);
  EXPECT_EQ(d.rotation.w, expected.rotation.w);
}

TEST_F(PrTransformTest, AFrameTimesItsInverseIsTheIdentity) {
  for (const PrTransform& x : {a * a.inverse(), a.inverse() * a}) {
    EXPECT_TRUE(x.rotation.isEquivalent(PrQuaternion()));
    expectVectorNear(x.translation, PrVector3(), 2e-6f);
  }
  const PrVector3 p(1, 2, 3);
  expectVectorNear(a.inverse() * (a * p), p, 5e-6f);
  PrTransform self = a;
  self.inverse(self);  // may write over itself
  EXPECT_EQ(self.translation, a.inverse().translation);
  PrTransform id;
  id.identity();
  EXPECT_TRUE(id.rotation.isEquivalent(PrQuaternion()));
  EXPECT_EQ(id.translation, PrVector3());
}

TEST_F(PrTransformTest, ErrorIsTranslationDifferenceThenAngularError) {
  PrVector6 e;
  a.error(a, e);
  EXPECT_EQ(e, PrVector6());
  a.error(b, e);
  expectVectorNear(e.first(), a.translation - b.translation, 0.0f);
  PrVector3 angular;
  a.rotation.angularError(b.rotation, angular);
  EXPECT_EQ(PrVector3(e.second()), angular);
  PrVector generic;
  a.error(b, generic);
  EXPECT_EQ(generic, e);
}

TEST_F(PrTransformTest, SixVectorTransformsMatchTheirMatrixForms) {
  const PrVector6 in(0.3f, -0.8f, 1.1f, 0.5f, 0.2f, -0.6f);
  const PrMatrix6 x = forceMatrix(a);
  PrVector6 out;
  a.transform(in, out);
  expectVectorNear(out, x * in, 5e-6f);
  // The inverse transform is the transpose of that matrix.
  PrMatrix6 xt;
  x.transpose(xt);
  a.inverseTransform(in, out);
  expectVectorNear(out, xt * in, 5e-6f);
  // In place.
  PrVector6 same = in;
  a.transform(same, same);
  expectVectorNear(same, x * in, 5e-6f);
  same = in;
  a.inverseTransform(same, same);
  expectVectorNear(same, xt * in, 5e-6f);
  // The plain-vector form is the same transform.
  PrVector generic(in);
  PrVector result;
  a.transformSpatial(generic, result);
  expectVectorNear(result, x * in, 5e-6f);
  EXPECT_DEATH(a.transformSpatial(PrVector(3), result), assertionText("in.size() == 6"));
}

TEST_F(PrTransformTest, SixVectorTransformsFollowRigidBodyPhysics) {
  // A body turning at ω with velocity v at the parent origin moves at
  // v + ω × t at the child origin; the motion map expresses that in the child.
  const PrVector3 v(0.2f, -0.4f, 1.0f);
  const PrVector3 omega(0.7f, 0.1f, -0.3f);
  PrVector6 childMotion;
  a.inverseTransform(PrVector6(v, omega), childMotion);
  const PrTransform back = a.inverse();
  expectVectorNear(childMotion.first(), back.rotation.rotate(v + omega.cross(a.translation)), 5e-6f);
  expectVectorNear(childMotion.second(), back.rotation.rotate(omega), 5e-6f);
  // A force f at the child origin gives the moment t × f about the parent's.
  const PrVector3 f(1.5f, 0.0f, -2.0f);
  PrVector6 parentForce;
  a.transform(PrVector6(f, PrVector3()), parentForce);
  const PrVector3 fParent = a.rotation.rotate(f);
  expectVectorNear(parentForce.first(), fParent, 5e-6f);
  expectVectorNear(parentForce.second(), a.translation.cross(fParent), 5e-6f);
  // Power is the same in both frames.
  const PrVector6 wrench(0.3f, 0.9f, -0.1f, 0.4f, -0.2f, 0.8f);
  const PrVector6 motion(v, omega);
  a.transform(wrench, parentForce);
  EXPECT_NEAR(childMotion.dot(wrench), motion.dot(parentForce), 1e-5f);
}

TEST(PrTransformDisplay, Format) {
  const PrTransform x(PrQuaternion(1, 0, 0, 0), PrVector3(1, 2, 3));
  prtest::ConsoleCapture capture;
  x.display("T");
  EXPECT_EQ(capture.text(),
            "T =\n[rot=[1.000000, (0.000000 0.000000 0.000000)],\n trans=(1.000000 2.000000 3.000000)]\n");
}
