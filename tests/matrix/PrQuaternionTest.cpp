#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FixedSizeTestSupport.h"
#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrQuaternion.h"
#include "matrix/PrVector3.h"

using fixedtest::expectMatrixNear;
using fixedtest::expectVectorNear;
using fixedtest::product;
using fixedtest::rotationOf;
using fixedtest::rotX;
using fixedtest::rotY;
using fixedtest::rotZ;
using prtest::assertionText;

namespace {

void expectQuaternionEq(const PrQuaternion& q, float w, float x, float y, float z) {
  EXPECT_EQ(q.w, w);
  EXPECT_EQ(q.v, PrVector3(x, y, z));
}

void expectQuaternionNear(const PrQuaternion& q, const PrQuaternion& expected, float tolerance) {
  EXPECT_NEAR(q.w, expected.w, tolerance);
  expectVectorNear(q.v, expected.v, tolerance);
}

PrQuaternion fromMatrix(const PrMatrix& m) {
  PrQuaternion q(0, 0, 0, 0);
  q.fromRotationMatrix(m);
  return q;
}

}  // namespace

//---- rotation matrices ---------------------------------------------------------

TEST(PrQuaternionMatrix, ElementaryRotationsMatchTheirMatrices) {
  PrQuaternion q;
  q.fromAxisAngle(PrVector3(1, 0, 0), 0.8f);
  expectMatrixNear(rotationOf(q), rotX(0.8), 1e-6f);
  q.fromAxisAngle(PrVector3(0, 1, 0), -2.1f);
  expectMatrixNear(rotationOf(q), rotY(-2.1), 1e-6f);
  q.fromAxisAngle(PrVector3(0, 0, 1), 3.0f);
  expectMatrixNear(rotationOf(q), rotZ(3.0), 1e-6f);
  // A general axis agrees with the matrix built by Rodrigues' formula.
  const PrVector3 axis = PrVector3(2, -1, 2) / 3.0f;
  q.fromAxisAngle(axis, 1.3f);
  PrMatrix3 rodrigues;
  rodrigues.fromAxisAngle(axis, 1.3f);
  expectMatrixNear(rotationOf(q), rodrigues, 1e-6f);
}

TEST(PrQuaternionMatrix, ProductsRotationsAndColumnsAgreeWithTheMatrixForm) {
  const auto qs = fixedtest::randomRotations(50, 21);
  const PrVector3 p(0.3f, -1.7f, 2.2f);
  for (size_t i = 0; i + 1 < qs.size(); ++i) {
    const PrQuaternion& a = qs[i];
    const PrQuaternion& b = qs[i + 1];
    const PrMatrix3 ra = rotationOf(a);
    expectMatrixNear(rotationOf(a * b), product(ra, rotationOf(b)), 2e-6f);
    expectVectorNear(a.rotate(p), ra * p, 5e-6f);
    PrMatrix3 inverse;
    ra.transpose(inverse);
    expectMatrixNear(rotationOf(a.conjugate()), inverse, 1e-6f);
    for (int c = 0; c < 3; ++c) {
      PrVector3 col;
      a.column(c, col);
      PrVector3 expected;
      ra.getColumn(c, expected);
      EXPECT_EQ(col, expected) << "column " << c;
    }
  }
}

TEST(PrQuaternionMatrix, DestinationsMayAliasTheOperands) {
  const auto qs = fixedtest::randomRotations(2, 22);
  PrQuaternion a = qs[0];
  const PrQuaternion expected = qs[0] * qs[1];
  a.multiply(qs[1], a);
  expectQuaternionEq(a, expected.w, expected.v[0], expected.v[1], expected.v[2]);
  PrQuaternion b = qs[1];
  qs[0].multiply(b, b);
  expectQuaternionEq(b, expected.w, expected.v[0], expected.v[1], expected.v[2]);
  PrVector3 p(1, 2, 3);
  const PrVector3 rotated = qs[0].rotate(p);
  qs[0].rotate(p, p);
  EXPECT_EQ(p, rotated);
}

TEST(PrQuaternionMatrix, FromRotationMatrixTakesEachOfTheFourCandidates) {
  PrMatrix3 eye;
  eye.identity();
  expectQuaternionEq(fromMatrix(eye), 1, 0, 0, 0);
  expectQuaternionEq(fromMatrix(PrMatrix3(1, 0, 0, 0, -1, 0, 0, 0, -1)), 0, 1, 0, 0);
  expectQuaternionEq(fromMatrix(PrMatrix3(-1, 0, 0, 0, 1, 0, 0, 0, -1)), 0, 0, 1, 0);
  expectQuaternionEq(fromMatrix(PrMatrix3(-1, 0, 0, 0, -1, 0, 0, 0, 1)), 0, 0, 0, 1);
  // The chosen candidate's component comes out positive, so each branch is
  // recognisable by the sign it gives the result of a rotation whose own
  // dominant component is negative.
  const PrQuaternion dominant[4] = {
      PrQuaternion(-0.8f, 0.2f, -0.4f, 0.4f), PrQuaternion(0.1f, -0.7f, 0.5f, 0.5f),
      PrQuaternion(0.3f, 0.1f, -0.9f, 0.3f), PrQuaternion(-0.2f, 0.4f, 0.2f, -0.87f)};
  for (int k = 0; k < 4; ++k) {
    PrQuaternion q = dominant[k];
    q.normalize();
    const PrQuaternion back = fromMatrix(rotationOf(q));
    expectQuaternionNear(back, -q, 2e-6f);
    EXPECT_GT(k == 0 ? back.w : back.v[k - 1], 0.5f) << "candidate " << k + 1;
  }
}

TEST(PrQuaternionMatrix, BranchBoundariesAndRoundTrips) {
  // Radicand exactly 1 for the first candidate: w = ½ is still taken there.
  expectQuaternionEq(fromMatrix(PrMatrix3(0, 0, 1, 1, 0, 0, 0, 1, 0)), 0.5f, 0.5f, 0.5f, 0.5f);
  // w = −½ gives the same rotation with w = +½.
  PrQuaternion negative(-0.5f, 0.5f, 0.5f, 0.5f);
  expectQuaternionEq(fromMatrix(rotationOf(negative)), 0.5f, -0.5f, -0.5f, -0.5f);
  // Half turns about general axes have w = 0 and go through the other three.
  for (const PrVector3& axis :
       {PrVector3(0.6f, 0.8f, 0), PrVector3(0, 0.6f, -0.8f), PrVector3(0.48f, 0.6f, 0.64f)}) {
    PrQuaternion q;
    q.fromAxisAngle(axis, static_cast<float>(kPi));
    EXPECT_TRUE(fromMatrix(rotationOf(q)).isEquivalent(q));
  }
  for (const PrQuaternion& q : fixedtest::randomRotations(500, 23)) {
    const PrQuaternion back = fromMatrix(rotationOf(q));
    EXPECT_TRUE(back.isEquivalent(q));
    EXPECT_NEAR(back.dot(back), 1.0f, 2e-6f);
  }
  PrQuaternion q;
  EXPECT_DEATH(q.fromRotationMatrix(PrMatrix(3, 2)), assertionText("m.row() == 3 && m.column() == 3"));
}

TEST(PrQuaternionMatrix, NonFiniteMatrixGivesANonFiniteQuaternionInsteadOfAborting) {
  PrMatrix3 bad;
  bad.identity();
  bad(1, 2) = std::numeric_limits<float>::quiet_NaN();
  bad(0, 0) = std::numeric_limits<float>::quiet_NaN();
  PrQuaternion q;
  q.fromRotationMatrix(bad);
  EXPECT_FALSE(q.isFinite());
  EXPECT_TRUE(PrQuaternion().isFinite());
}

//---- axis-angle and two vectors ------------------------------------------------

TEST(PrQuaternionAxisAngle, RoundTripAndTheIdentity) {
  PrVector3 axis;
  float angle = -1;
  PrQuaternion().toAxisAngle(axis, angle);
  EXPECT_EQ(angle, 0.0f);
  EXPECT_EQ(axis, PrVector3(1, 0, 0));
  PrQuaternion(-1, 0, 0, 0).toAxisAngle(axis, angle);
  EXPECT_EQ(angle, 0.0f);
  const PrVector3 k = PrVector3(1, -2, 2) / 3.0f;
  for (float a : {0.01f, 1.0f, 3.0f, 4.5f}) {
    PrQuaternion q;
    q.fromAxisAngle(k, a);
    q.toAxisAngle(axis, angle);
    EXPECT_NEAR(angle, a, 1e-3f * std::max(1.0f, a));
    expectVectorNear(axis, k, 1e-4f);
  }
  PrQuaternion q;
  q.fromAxisAngle(PrVector3(0, 0, 2), 1.0f);  // the axis is not normalised
  EXPECT_NEAR(q.dot(q), std::cos(0.5f) * std::cos(0.5f) + 4 * std::sin(0.5f) * std::sin(0.5f), 1e-6f);
  EXPECT_DEATH(q.fromAxisAngle(PrVector(2), 1.0f), assertionText("axis.size() == 3"));
  PrVector wrong(4);
  EXPECT_DEATH(q.toAxisAngle(wrong, angle), assertionText("axis.size() == 3"));
}

TEST(PrQuaternionAxisAngle, FromTwoVectorsTurnsTheFirstOntoTheSecond) {
  const auto qs = fixedtest::randomRotations(40, 24);
  for (size_t i = 0; i + 1 < qs.size(); i += 2) {
    const PrVector3 from = qs[i].rotate(PrVector3(1, 0, 0));
    const PrVector3 to = qs[i + 1].rotate(PrVector3(0, 1, 0));
    PrQuaternion q;
    q.fromTwoVectors(from, to);
    expectVectorNear(q.rotate(from), to, 2e-5f);
    // The shortest turn: its axis is perpendicular to both vectors.
    EXPECT_NEAR(q.v.dot(from), 0.0f, 1e-5f);
    EXPECT_NEAR(q.v.dot(to), 0.0f, 1e-5f);
  }
  PrQuaternion same;
  same.fromTwoVectors(PrVector3(0, 0.6f, 0.8f), PrVector3(0, 0.6f, 0.8f));
  expectQuaternionEq(same, 1, 0, 0, 0);
  EXPECT_DEATH(same.fromTwoVectors(PrVector(2), PrVector3()), assertionText("vFrom.size() == 3"));
  EXPECT_DEATH(same.fromTwoVectors(PrVector3(), PrVector(4)), assertionText("vTo.size() == 3"));
}

TEST(PrQuaternionAxisAngle, OppositeVectorsGiveAHalfTurnNotTheIdentity) {
  for (const PrVector3& from : {PrVector3(1, 0, 0), PrVector3(0, -1, 0), PrVector3(0, 0, 1),
                                PrVector3(0.6f, 0, -0.8f), PrVector3(0.48f, -0.6f, 0.64f)}) {
    PrQuaternion q;
    q.fromTwoVectors(from, -from);
    expectVectorNear(q.rotate(from), -from, 1e-6f);
    EXPECT_NEAR(q.dot(q), 1.0f, 1e-6f);
  }
}

//---- Euler angles --------------------------------------------------------------

TEST(PrQuaternionEuler, FromEulerIsTheProductOfElementaryRotations) {
  PrQuaternion q;
  q.fromEulerZXZ(0.4f, -1.2f, 2.5f);
  expectMatrixNear(rotationOf(q), product(product(rotZ(0.4), rotX(-1.2)), rotZ(2.5)), 1e-6f);
  q.fromEulerZYZ(-2.9f, 0.7f, 1.1f);
  expectMatrixNear(rotationOf(q), product(product(rotZ(-2.9), rotY(0.7)), rotZ(1.1)), 1e-6f);
}

TEST(PrQuaternionEuler, SpecialRotations) {
  float a, b, c;
  PrQuaternion().toEulerZXZ(a, b, c);
  EXPECT_EQ(a, 0.0f);
  EXPECT_EQ(b, 0.0f);
  EXPECT_EQ(c, 0.0f);
  PrQuaternion halfTurnX(0, 1, 0, 0);
  halfTurnX.toEulerZXZ(a, b, c);
  EXPECT_EQ(b, 3.1415927f);
  EXPECT_NEAR(a, 0.0f, 1e-6f);
  EXPECT_NEAR(c, 0.0f, 1e-6f);
  PrQuaternion halfTurnY(0, 0, 1, 0);
  halfTurnY.toEulerZYZ(a, b, c);
  EXPECT_EQ(b, 3.1415927f);
  // b = 0: the turn about z is split equally.
  PrQuaternion q;
  q.fromAxisAngle(PrVector3(0, 0, 1), 1.0f);
  q.toEulerZYZ(a, b, c);
  EXPECT_EQ(b, 0.0f);
  EXPECT_NEAR(a, 0.5f, 1e-6f);
  EXPECT_EQ(a, c);
}

// Round trips over the whole angle range, b = 0 and b = π included; the
// angles found must give the same rotation and the first one lies in
// [−π/2, π/2] unless the solution is degenerate.
class EulerRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(EulerRoundTrip, RecoversTheRotationOverTheWholeRange) {
  const bool zyz = GetParam();
  const double steps[] = {-kPi, -2.5, -kPi / 2, -0.7, 0.0, 0.3, kPi / 2, 2.0, kPi};
  const double bs[] = {0.0, 1e-3, 0.4, kPi / 2, 2.5, kPi - 1e-3, kPi, -0.9, -kPi / 2};
  for (double a : steps) {
    for (double b : bs) {
      for (double c : steps) {
        PrQuaternion q;
        if (zyz) {
          q.fromEulerZYZ(float(a), float(b), float(c));
        } else {
          q.fromEulerZXZ(float(a), float(b), float(c));
        }
        float a2, b2, c2;
        if (zyz) {
          q.toEulerZYZ(a2, b2, c2);
        } else {
          q.toEulerZXZ(a2, b2, c2);
        }
        PrQuaternion back;
        if (zyz) {
          back.fromEulerZYZ(a2, b2, c2);
        } else {
          back.fromEulerZXZ(a2, b2, c2);
        }
        const bool nearDegenerate = std::fabs(std::sin(b)) < 0.01;
        SCOPED_TRACE(testing::Message() << "a " << a << " b " << b << " c " << c);
        expectMatrixNear(rotationOf(back), rotationOf(q), nearDegenerate ? 2e-3f : 2e-5f);
        if (std::fabs(std::sin(b)) < 1e-6) {
          EXPECT_TRUE(b2 == 0.0f || b2 == 3.1415927f) << b2;
          EXPECT_EQ(std::fabs(a2), std::fabs(c2));
        } else if (!nearDegenerate) {
          EXPECT_GE(std::cos(a2), -1e-6f);
          EXPECT_NEAR(std::fabs(b2), std::fabs(b), 1e-4);
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(PrQuaternionEuler, EulerRoundTrip, ::testing::Values(false, true),
                         [](const auto& test) {
                           return test.param ? std::string("ZYZ") : std::string("ZXZ");
                         });

//---- errors, rates, interpolation ----------------------------------------------

TEST(PrQuaternionError, AngularErrorIsTheRotationVectorBetweenTheTwo) {
  const auto qs = fixedtest::randomRotations(10, 25);
  for (const PrQuaternion& q : qs) {
    PrVector3 e;
    q.angularError(q, e);
    expectVectorNear(e, PrVector3(), 1e-6f);
    // this = Δ·q with Δ a turn δ about a fixed axis: error = 2·sin(|δ|/2)·δ/|δ|.
    const PrVector3 axis = PrVector3(0.36f, 0.48f, 0.8f);
    const float angle = 0.3f;
    PrQuaternion delta;
    delta.fromAxisAngle(axis, angle);
    const PrQuaternion current = delta * q;
    current.angularError(q, e);
    expectVectorNear(e, axis * (2 * std::sin(angle / 2)), 2e-6f);
    // For a small turn it agrees with the matrix orientation error.
    delta.fromAxisAngle(axis, 0.002f);
    (delta * q).angularError(q, e);
    PrVector3 matrixError;
    rotationOf(delta * q).orientationError(rotationOf(q), matrixError);
    expectVectorNear(e, matrixError, 2e-6f);
  }
}

TEST(PrQuaternionError, DerivativeMatchesAFiniteDifference) {
  const PrVector3 omega(0.4f, -1.1f, 0.7f);  // rad/s in the fixed frame
  const double h = 1e-3;
  for (const PrQuaternion& q : fixedtest::randomRotations(10, 26)) {
    PrQuaternion rate;
    q.derivative(omega, rate);
    PrQuaternion step;
    step.fromAxisAngle(omega / omega.magnitude(), static_cast<float>(omega.magnitude() * h));
    const PrQuaternion later = step * q;
    EXPECT_NEAR(rate.w, (later.w - q.w) / h, 2e-3);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(rate.v[i], (later.v[i] - q.v[i]) / h, 2e-3);
    PrQuaternion self = q;
    self.derivative(omega, self);  // may write over itself
    expectQuaternionEq(self, rate.w, rate.v[0], rate.v[1], rate.v[2]);
  }
  PrQuaternion q, d;
  EXPECT_DEATH(q.derivative(PrVector(2), d), assertionText("omega.size() == 3"));
}

TEST(PrQuaternionSlerp, EndsMidpointAndShortestPath) {
  PrQuaternion q1, q2;
  q1.fromAxisAngle(PrVector3(0, 0, 1), 0.2f);
  q2.fromAxisAngle(PrVector3(0, 0, 1), 1.4f);
  expectQuaternionNear(slerp(q1, q2, 0.0), q1, 1e-6f);
  expectQuaternionNear(slerp(q1, q2, 1.0), q2, 1e-6f);
  PrQuaternion mid;
  mid.fromAxisAngle(PrVector3(0, 0, 1), 0.8f);
  expectQuaternionNear(slerp(q1, q2, 0.5), mid, 1e-6f);
  PrQuaternion quarter;
  quarter.fromAxisAngle(PrVector3(0, 0, 1), 0.5f);
  expectQuaternionNear(slerp(q1, q2, 0.25), quarter, 1e-6f);
  // With q1·q2 < 0 the other sign of q2 is used: the end is −q2 and the
  // path is the short one.
  expectQuaternionNear(slerp(q1, -q2, 1.0), q2, 1e-6f);
  expectQuaternionNear(slerp(q1, -q2, 0.5), mid, 1e-6f);
  // Unnormalised ends come out normalised; nearly equal ends blend linearly.
  const PrQuaternion scaled(2 * q2.w, 2 * q2.v[0], 2 * q2.v[1], 2 * q2.v[2]);
  const PrQuaternion end = slerp(q1, scaled, 1.0);
  EXPECT_NEAR(end.dot(end), 1.0f, 1e-6f);
  const PrQuaternion close(q1.w + 1e-6f, q1.v[0], q1.v[1], q1.v[2]);
  EXPECT_TRUE(slerp(q1, close, 0.5).isEquivalent(q1));
  // Random pairs: equal angle to both ends at the midpoint.
  const auto qs = fixedtest::randomRotations(20, 27);
  for (size_t i = 0; i + 1 < qs.size(); i += 2) {
    const PrQuaternion m = slerp(qs[i], qs[i + 1], 0.5);
    EXPECT_NEAR(std::fabs(m.dot(qs[i])), std::fabs(m.dot(qs[i + 1])), 1e-5f);
  }
}

//---- small things --------------------------------------------------------------

TEST(PrQuaternionBasics, EquivalenceNormalisationAndPreconditions) {
  PrQuaternion q(0.5f, -0.5f, 0.5f, 0.5f);
  EXPECT_TRUE(q.isEquivalent(-q));
  EXPECT_TRUE(q.isEquivalent(q));
  EXPECT_FALSE(q.isEquivalent(PrQuaternion()));
  PrQuaternion big(3, 0, 4, 0);
  big.normalize();
  expectQuaternionEq(big, 0.6f, 0, 0.8f, 0);
  expectQuaternionEq(q.conjugate(), 0.5f, 0.5f, -0.5f, -0.5f);
  big.identity();
  expectQuaternionEq(big, 1, 0, 0, 0);
  PrVector3 v;
  EXPECT_DEATH(q.rotate(PrVector(4), v), assertionText("rhs.size() == 3"));
  EXPECT_DEATH(q.column(3, v), assertionText("col >= 0 && col < 3"));
}

TEST(PrQuaternionBasics, DisplayFormats) {
  const PrQuaternion q(1, 0.5f, -0.25f, 2);
  {
    prtest::ConsoleCapture capture;
    q.display("q");
    EXPECT_EQ(capture.text(), "q =\n[1.000000, (0.500000 -0.250000 2.000000)]\n");
  }
  prtest::ConsoleCapture capture;
  q.display();
  EXPECT_EQ(capture.text(), "[1.000000, (0.500000 -0.250000 2.000000)]");
}
