// The triangulated convex hull of a 3-D point set, computed with qhull.
// The servo's MSI measures distances to the velocity-limit hull and the 3D
// view draws the limit hulls; both triangulate here, so they see one hull.
#pragma once

#include <vector>

// points: 3 doubles per point. Fills triangles with 9 doubles per facet, in
// qhull's facet order. False when qhull fails (fewer than four points, all in
// one plane, ...). reportErrors: qhull's own message goes to standard error;
// otherwise a failure is silent (the view meets flat sets every frame at a
// singularity and simply skips that hull).
bool hullTriangles(std::vector<double>& points, std::vector<double>& triangles, bool reportErrors);
// The same for `count` points of 3 floats each, as the limit shapes hold them.
bool hullTriangles(const float* points, int count, std::vector<double>& triangles, bool reportErrors);
