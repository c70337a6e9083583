#include <gtest/gtest.h>

#include "geometry/SphereGrid.h"

namespace {

TEST(SphereGridTest, GridHasUnitVectorsAndSharedPoles) {
  PrVector sphere;
  unitSphere(sphere);
  ASSERT_EQ(sphere.size(), 1026);
  for (int k = 0; k < 1026; k += 3) {
    const float n = sphere[k] * sphere[k] + sphere[k + 1] * sphere[k + 1] + sphere[k + 2] * sphere[k + 2];
    EXPECT_NEAR(n, 1.0f, 1e-5f);
  }
  EXPECT_NEAR(sphere[spherePointIndex(0, 0) + 2], -1.0f, 1e-6f);
  EXPECT_NEAR(sphere[spherePointIndex(0, 18) + 2], 1.0f, 1e-6f);
  for (int i = 1; i < 18; ++i)
    for (int j : {0, 18})
      for (int r = 0; r < 3; ++r)
        EXPECT_EQ(sphere[spherePointIndex(i, j) + r], sphere[spherePointIndex(0, j) + r]);
  // The equator of azimuth index 9 points along +x (a = -π + 9·(2π/18) = 0).
  EXPECT_NEAR(sphere[spherePointIndex(9, 9)], 1.0f, 1e-5f);
}

}  // namespace
