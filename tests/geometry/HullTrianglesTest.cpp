#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/HullTriangles.h"

namespace {

// The eight corners of the box ±(1, 2, 3), in float as the limit shapes hold them.
std::vector<float> boxCorners() {
  std::vector<float> corners;
  for (int k = 0; k < 8; ++k)
    for (int r = 0; r < 3; ++r) corners.push_back(float(r + 1) * ((k >> r) & 1 ? -1 : 1));
  return corners;
}

// Every facet of a box is split into two triangles lying in the box's faces,
// whichever entry point the corners come through.
TEST(HullTrianglesTest, BoxGivesTwelveTrianglesOnItsFaces) {
  const std::vector<float> corners = boxCorners();
  std::vector<double> fromFloats, fromDoubles;
  ASSERT_TRUE(hullTriangles(corners.data(), 8, fromFloats, /*reportErrors=*/true));
  std::vector<double> points(corners.begin(), corners.end());
  ASSERT_TRUE(hullTriangles(points, fromDoubles, /*reportErrors=*/true));
  EXPECT_EQ(fromFloats, fromDoubles);
  ASSERT_EQ(fromFloats.size(), 12u * 9);
  int perAxis[3] = {};
  for (size_t t = 0; t < fromFloats.size(); t += 9) {
    // One coordinate is the same at all three corners, and on the box's face.
    int onFace = -1;
    for (int r = 0; r < 3; ++r)
      if (fromFloats[t + r] == fromFloats[t + 3 + r] && fromFloats[t + r] == fromFloats[t + 6 + r])
        onFace = r;
    ASSERT_GE(onFace, 0) << "triangle " << t / 9;
    EXPECT_EQ(std::fabs(fromFloats[t + onFace]), onFace + 1.0);
    ++perAxis[onFace];
  }
  EXPECT_EQ(perAxis[0], 4);
  EXPECT_EQ(perAxis[1], 4);
  EXPECT_EQ(perAxis[2], 4);
}

// A flat set and too few points have no hull; the quiet form says so without
// printing, and leaves no triangles from an earlier call behind.
TEST(HullTrianglesTest, FlatOrTooFewPointsHaveNoHull) {
  std::vector<float> flat = boxCorners();
  for (size_t i = 2; i < flat.size(); i += 3) flat[i] = 0;
  std::vector<double> triangles;
  ASSERT_TRUE(hullTriangles(boxCorners().data(), 8, triangles, false));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(hullTriangles(flat.data(), 8, triangles, /*reportErrors=*/false));
  EXPECT_TRUE(triangles.empty());
  EXPECT_FALSE(hullTriangles(boxCorners().data(), 3, triangles, /*reportErrors=*/false));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
