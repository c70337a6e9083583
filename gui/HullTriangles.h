// The triangulated convex hull of a 3-D point set, computed with qhull.
#pragma once

#include <vector>

// points: 3 doubles per point. Fills triangles with 9 doubles per facet.
// False when qhull fails (fewer than four points not in one plane, ...).
bool hullTriangles(std::vector<double>& points, std::vector<double>& triangles);
