// The loop's small parts: overrun tolerance, session switch, and the shapes
// computed for the display checked against independent computations.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "servo/LimitShapes.h"
#include "servo/MsiSphere.h"
#include "servo/MsiWorker.h"
#include "servo/OverrunGuard.h"
#include "servo/Session.h"

namespace {

TEST(OverrunGuardTest, OneLateTickIsToleratedTwoInARowAreNot) {
  OverrunGuard guard;
  EXPECT_FALSE(guard.onStep(3));
  EXPECT_TRUE(guard.onStep(3)) << "second late tick in a row";
  guard.reset();
  EXPECT_FALSE(guard.onStep(3));
  EXPECT_FALSE(guard.onStep(1));
  EXPECT_FALSE(guard.onStep(2));
  EXPECT_FALSE(guard.onStep(0)) << "a not-yet-due poll also clears the flag";
  EXPECT_FALSE(guard.onStep(2));
}

TEST(SessionTest, EndSessionIsOneShotAndRunsTheHandlerEveryTime) {
  static int calls = 0, firstCalls = 0;
  calls = firstCalls = 0;
  beginSession();
  setSessionEndHandler([](bool first) {
    ++calls;
    firstCalls += first;
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(endSession(), 0);
  endSession();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Session ended.\n");
  EXPECT_TRUE(sessionEnded.load());
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(firstCalls, 1);
  setSessionEndHandler(nullptr);
  beginSession();
}

TEST(LimitShapesTest, SignPatternsFollowTheBitsOfK) {
  const float map[6] = {1, 2, 0, 1, 0, 3};  // 3 x 2
  PrMatrix M(map, 3, 2);
  PrVector limits(2);
  limits[0] = 1;
  limits[1] = 10;
  PrVector points;
  velocityLimitPoints(M, limits, points);
  ASSERT_EQ(points.size(), 12);
  // k = 1: element 0 negated -> (-1, 10): M·v = (-1 + 20, 10, 30) · 1000
  EXPECT_FLOAT_EQ(points[3], 19000);
  EXPECT_FLOAT_EQ(points[4], 10000);
  EXPECT_FLOAT_EQ(points[5], 30000);
  // k = 3: both negated
  EXPECT_FLOAT_EQ(points[9], -21000);
}

TEST(LimitShapesTest, EllipsoidAxesAreEigenvectorsOfTheInverseMass) {
  const float j[9] = {1, 0.2f, 0, 0, 1, 0.3f, 0.1f, 0, 1};
  const float ainv[9] = {2, 0.1f, 0, 0.1f, 1, 0.2f, 0, 0.2f, 0.5f};
  PrMatrix J(j, 3, 3), Ainv(ainv, 3, 3);
  PrVector e;
  effectiveMassEllipsoid(J, Ainv, e);
  ASSERT_EQ(e.size(), 12);
  PrMatrix JA, Minv;
  J.multiply(Ainv, JA);
  JA.multiply(J, Minv, true);
  for (int k = 0; k < 3; ++k) {
    PrVector v(3), Mv;
    for (int r = 0; r < 3; ++r) v[r] = e[3 * k + r];
    Minv.multiply(v, Mv);
    const float lambda = 1.0f / e[9 + k];
    for (int r = 0; r < 3; ++r) EXPECT_NEAR(Mv[r], lambda * v[r], 1e-4f);
  }
  PrMatrix zero(3, 3);
  effectiveMassEllipsoid(zero, Ainv, e);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(e[i], 0.0f);
}

TEST(MsiSphereTest, RayMeetsTheFacetsOfABox) {
  // Two triangles of the face x = 2 of a box around the origin.
  const double facets[18] = {2, -1, -1, 2, 1, -1, 2, 1, 1, 2, -1, -1, 2, 1, 1, 2, -1, 1};
  const float along[3] = {1, 0, 0};
  EXPECT_NEAR(rayHullDistance(along, facets, 2), 2.0f, 1e-5f);
  const float slanted[3] = {0.96f, 0.28f, 0};  // meets the face at (2, 0.583, 0)
  EXPECT_NEAR(rayHullDistance(slanted, facets, 2), 2 / 0.96f, 1e-4f);
  const float outside[3] = {0.8f, 0.6f, 0};  // would meet x = 2 at y = 1.5, beyond the face
  EXPECT_EQ(rayHullDistance(outside, facets, 2), -1.0f);
  const float away[3] = {-1, 0, 0};
  EXPECT_EQ(rayHullDistance(away, facets, 2), -1.0f);
  const float parallel[3] = {0, 1, 0};
  EXPECT_EQ(rayHullDistance(parallel, facets, 2), -1.0f);
}

// An asymmetric 3-joint arm handed over as the servo hands it: the worker's
// answer is the sphere computed directly, so no row and column are swapped on
// the way; and the worker stops whether idle, building or holding an answer.
TEST(MsiWorkerTest, AnswersAsTheDirectComputationAndStopsInAnyState) {
  PrMatrix Jp(3, 3), Ainv(3, 3), R(3, 3);
  const float jp[3][3] = {{1, 0.2f, 0}, {0.1f, 2, 0.3f}, {0, 0.4f, 3}};
  const float ainv[3][3] = {{1, 0.1f, 0}, {0.1f, 0.5f, 0.05f}, {0, 0.05f, 0.25f}};
  const float rot[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
  PrVector dqmax(3);
  MsiRequest request;
  request.dof = 3;
  request.dest = 2;
  for (int r = 0; r < 3; ++r) {
    dqmax[r] = 1.0f + float(r);
    request.dqmax[r] = dqmax[r];
    for (int c = 0; c < 3; ++c) {
      Jp(r, c) = request.Jp[r][c] = jp[r][c];
      Ainv(r, c) = request.Ainv[r][c] = ainv[r][c];
      R(r, c) = request.rotation[r][c] = rot[r][c];
    }
  }
  PrVector sphere, expected;
  unitSphere(sphere);
  const MsiInputs in{&Jp, &Ainv, &dqmax, &R, &sphere, false};
  ASSERT_TRUE(msiSphere(in, expected));

  MsiResult result;
  {
    MsiWorker worker;
    EXPECT_FALSE(worker.take(&result));
    worker.post(request);
    bool done = false;
    for (int i = 0; i < 5000 && !(done = worker.take(&result)); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(done);
    EXPECT_EQ(result.dest, 2);
    for (int k = 0; k < kSphereFloats; ++k) ASSERT_EQ(result.points[k], expected[k]) << k;
    EXPECT_FALSE(worker.take(&result)) << "one answer per request";
    worker.post(request);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // most likely done by now
  }
  { MsiWorker idle; }
  {
    MsiWorker busy;
    busy.post(request);
    busy.post(request);  // held behind the first
  }
}

TEST(MsiSphereTest, MaxVelocityDisplayShowsTheEffectiveMassPerDirection) {
  // A diagonal arm: the velocity box is ±(1, 2, 3), the inverse mass diag(1, 0.5, 0.25).
  PrMatrix Jp(3, 3), Ainv(3, 3), R(3, 3);
  Jp.identity();
  R.identity();
  const float inv[3] = {1, 0.5f, 0.25f};
  Ainv.setDiagonal(inv);
  PrVector dqmax(3);
  dqmax[0] = 1;
  dqmax[1] = 2;
  dqmax[2] = 3;
  PrVector sphere, points;
  unitSphere(sphere);
  MsiInputs in{&Jp, &Ainv, &dqmax, &R, &sphere, true};
  ASSERT_TRUE(msiSphere(in, points));
  for (int k = 0; k < 1026; k += 3) {
    const float* u = sphere.dataPtr() + k;
    const float m = 1.0f / (u[0] * u[0] * 1 + u[1] * u[1] * 0.5f + u[2] * u[2] * 0.25f);
    for (int r = 0; r < 3; ++r) EXPECT_NEAR(points[k + r], u[r] * m / 100, 1e-5f);
  }
  in.maxVelDisplay = false;
  ASSERT_TRUE(msiSphere(in, points));
  // Along +x: m = 1 and the box face is at v = 1.
  const int k = spherePointIndex(9, 9);
  const float m = 1, v = 1, w = std::sqrt(((m + 5) / (m * 5)) * 0.5f);
  const float f = (2 * 3.1415927f / w) * 0.5f > 1 ? std::sin(w * 0.5f) : 1.0f;
  const float H = std::pow(2 * m * v * f / (9.81f * (m + 5)), 2.5f);
  EXPECT_NEAR(points[k], H * 10000, 1e-3f * H * 10000);
}

}  // namespace
