// The limit hull the view draws against the one the servo's MSI measures: the
// view triangulates the velocity-limit reply (mm/s) and divides by its scale,
// the MSI triangulates the same corners in m/s. Along every direction of the
// sphere grid both surfaces must lie at the same distance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/SphereGrid.h"
#include "gui/HullMesh.h"
#include "servo/LimitShapes.h"
#include "servo/MsiSphere.h"

namespace {

constexpr double kViewScale = 2000;  // the view's divisor for the velocity hull

// A 3 x dof Jacobian with no symmetry to hide a swapped row or column.
PrMatrix skewJacobian(int dof) {
  PrMatrix Jp(3, dof);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < dof; ++c) Jp(r, c) = 0.1f * float((r + 1) * (c + 2) % 7) + (r == c % 3 ? 0.5f : 0.0f);
  return Jp;
}

TEST(HullMeshTest, ViewDrawsTheHullTheMsiMeasures) {
  for (int dof : {3, 6}) {
    SCOPED_TRACE(dof);
    const PrMatrix Jp = skewJacobian(dof);
    PrVector dqmax(dof);
    for (int j = 0; j < dof; ++j) dqmax[j] = 1.0f + 0.5f * float(j);
    PrVector reply;
    velocityLimitPoints(Jp, dqmax, reply);
    HullMesh mesh;
    ASSERT_TRUE(buildHullMesh(reply, 1 << dof, kViewScale, mesh));
    std::vector<double> msi;
    ASSERT_TRUE(velocityLimitHull(Jp, dqmax, msi));
    ASSERT_GT(mesh.triangleCount(), 0);
    // The drawn mesh back in m/s.
    std::vector<double> drawn(mesh.corners);
    for (double& x : drawn) x *= kViewScale / 1000;
    PrVector sphere;
    unitSphere(sphere);
    for (int k = 0; k < kSphereFloats; k += 3) {
      const float* u = sphere.dataPtr() + k;
      const float viewDistance = rayHullDistance(u, drawn.data(), mesh.triangleCount());
      const float msiDistance = rayHullDistance(u, msi.data(), int(msi.size() / 9));
      ASSERT_GT(msiDistance, 0) << k;
      ASSERT_NEAR(viewDistance, msiDistance, 1e-3f * msiDistance) << "direction " << k / 3;
    }
    // Each drawn triangle lies on a face of the hull: all corners on one side
    // of its plane. (Its normal follows its winding, inwards or outwards; the
    // view lights both sides.)
    for (int f = 0; f < mesh.triangleCount(); ++f) {
      const double* n = &mesh.normals[3 * f];
      const double* a = &mesh.corners[9 * f];
      const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      ASSERT_GT(length, 0) << "facet " << f;
      double lowest = 0, highest = 0;
      for (int p = 0; p < (1 << dof); ++p) {
        double d = 0;
        for (int r = 0; r < 3; ++r) d += n[r] / length * (reply[3 * p + r] / kViewScale - a[r]);
        lowest = std::min(lowest, d);
        highest = std::max(highest, d);
      }
      EXPECT_TRUE(lowest > -1e-6 || highest < 1e-6) << "facet " << f << " cuts the hull";
    }
  }
}

// What the view may hold between a robot-type change and the next reply:
// fewer points than its model's corners, a non-finite value, a flat set.
TEST(HullMeshTest, StaleOrUnusablePointsDrawNothing) {
  const PrMatrix Jp = skewJacobian(3);
  PrVector dqmax(3);
  dqmax[0] = dqmax[1] = dqmax[2] = 1;
  PrVector reply;
  velocityLimitPoints(Jp, dqmax, reply);
  HullMesh mesh;
  ASSERT_TRUE(buildHullMesh(reply, 8, kViewScale, mesh));
  EXPECT_FALSE(buildHullMesh(reply, 64, kViewScale, mesh)) << "24 floats are not 64 corners";
  EXPECT_EQ(mesh.triangleCount(), 0);
  PrVector broken = reply;
  broken[4] = std::nanf("");
  EXPECT_FALSE(buildHullMesh(broken, 8, kViewScale, mesh));
  PrVector flat = reply;
  for (int p = 0; p < 8; ++p) flat[3 * p + 2] = 0;
  EXPECT_FALSE(buildHullMesh(flat, 8, kViewScale, mesh));
}

}  // namespace
