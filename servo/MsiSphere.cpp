#include "servo/MsiSphere.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "geometry/HullTriangles.h"
#include "servo/LimitShapes.h"
#include "utility/Angles.h"

namespace {

constexpr float kGravity = 9.81f;
constexpr float kHeadMass = 5.0f;  // kg, the mass being hit

}  // namespace

float rayHullDistance(const float u[3], const double* facets, int facetCount) {
  for (int f = 0; f < facetCount; ++f) {
    const double* a = facets + 9 * f;
    const double* b = a + 3;
    const double* c = a + 6;
    float e1[3], e2[3];
    for (int k = 0; k < 3; ++k) {
      e1[k] = float(b[k] - a[k]);
      e2[k] = float(c[k] - a[k]);
    }
    const float l1 = std::sqrt(e1[0] * e1[0] + e1[1] * e1[1] + e1[2] * e1[2]);
    const float l2 = std::sqrt(e2[0] * e2[0] + e2[1] * e2[1] + e2[2] * e2[2]);
    if (l1 == 0 || l2 == 0) continue;
    for (int k = 0; k < 3; ++k) {
      e1[k] /= l1;
      e2[k] /= l2;
    }
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                        e1[0] * e2[1] - e1[1] * e2[0]};
    const float nu = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
    if (std::fabs(nu) <= 0.001f) continue;
    // Solve [-e1 -e2 u] s = a. The determinant of that matrix is n·u, which the
    // test above keeps away from zero, so Cramer's rule gives the exact solution.
    const float rhs[3] = {float(a[0]), float(a[1]), float(a[2])};
    auto det3 = [](const float* c0, const float* c1, const float* c2) {
      return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
             c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    const float m1[3] = {-e1[0], -e1[1], -e1[2]};
    const float m2[3] = {-e2[0], -e2[1], -e2[2]};
    const float det = det3(m1, m2, u);
    const float s1 = det3(rhs, m2, u) / det;
    const float s2 = det3(m1, rhs, u) / det;
    const float s3 = det3(m1, m2, rhs) / det;
    if (s3 > 0 && s1 >= -0.001f && s2 >= -0.001f && (l1 - s1) * l2 >= l1 * s2) return s3;
  }
  return -1.0f;
}

bool velocityLimitHull(const PrMatrix& Jp, const PrVector& dqmax, std::vector<double>& triangles) {
  PrVector corners;
  signPatternPoints(Jp, dqmax, 1.0f, corners);
  return hullTriangles(corners.dataPtr(), corners.size() / 3, triangles, /*reportErrors=*/true);
}

bool msiSphere(const MsiInputs& in, PrVector& points) {
  const PrMatrix& Jp = *in.Jp;
  PR_ASSERT(Jp.row() == 3 && Jp.column() == in.dqmax->size());
  points.setSize(kSphereFloats, true);

  PrMatrix JAinv, Minv;
  Jp.multiply(*in.Ainv, JAinv);
  JAinv.multiply(Jp, Minv, true);

  // A flat velocity-limit set (fewer than three independent directions, as for
  // the planar reduced arms) has no hull; skip qhull and its error report.
  PrMatrix gram;
  Jp.multiply(Jp, gram, true);
  const float trace = gram(0, 0) + gram(1, 1) + gram(2, 2);
  const float det = gram(0, 0) * (gram(1, 1) * gram(2, 2) - gram(1, 2) * gram(2, 1)) -
                    gram(0, 1) * (gram(1, 0) * gram(2, 2) - gram(1, 2) * gram(2, 0)) +
                    gram(0, 2) * (gram(1, 0) * gram(2, 1) - gram(1, 1) * gram(2, 0));
  if (!(det > 1e-6f * trace * trace * trace)) return false;

  std::vector<double> facets;
  if (!velocityLimitHull(Jp, *in.dqmax, facets)) return false;
  const int facetCount = int(facets.size() / 9);

  const PrMatrix& R = *in.rotation;
  const float* sphere = in.sphere->dataPtr();
  for (int i = 0; i < kSphereAzimuths; ++i) {
    for (int j = 0; j < kSphereElevations; ++j) {
      const int index = spherePointIndex(i, j);
      const float* u = sphere + index;
      float ur[3];
      for (int r = 0; r < 3; ++r) ur[r] = R(r, 0) * u[0] + R(r, 1) * u[1] + R(r, 2) * u[2];
      float quad = 0;
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) quad += ur[r] * Minv(r, c) * ur[c];
      const float m = 1.0f / quad;
      const float w = std::sqrt(((m + kHeadMass) / (m * kHeadMass)) * 0.5f);
      const float f = (2 * kPiF / w) * 0.5f > 1 ? std::sin(w * 1 * 0.5f) : 1.0f;
      const float v = rayHullDistance(ur, facets.data(), facetCount);
      const float base = 2 * m * v * f / (kGravity * 1 * (m + kHeadMass));
      const float H = std::pow(base, 2.5f) * 1;
      const float scale = in.maxVelDisplay ? m / 100 : H * 10000;
      // No hull facet along u' (v = -1) or no finite mass makes the index
      // meaningless; such directions are drawn as a zero point.
      if (!std::isfinite(scale) || (!in.maxVelDisplay && !(base >= 0))) continue;
      for (int r = 0; r < 3; ++r) points[index + r] = ur[r] * scale;
    }
  }
  return true;
}
