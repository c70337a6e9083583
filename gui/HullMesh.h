// A limit hull as the 3D view draws it: the triangulated hull of the corner
// points the servo sends, each corner divided by the view's scale, with one
// facet normal per triangle for flat shading. Kept apart from the GL calls so
// that it can be checked against the hull the servo measures.
#pragma once

#include <vector>

#include "matrix/PrVector.h"

struct HullMesh {
  std::vector<double> corners;  // 9 per triangle: a, b, c, relative to the hull's origin
  std::vector<double> normals;  // 3 per triangle: (b - a) x (c - a), not normalised
  int triangleCount() const { return int(corners.size() / 9); }
};

// The mesh of the first `count` points (3 floats each) of `points`, scaled by
// 1 / scale. False (and an empty mesh) when the points are too few, not all
// finite, or span no volume: at a singularity the view simply skips the hull.
bool buildHullMesh(const PrVector& points, int count, double scale, HullMesh& mesh);
