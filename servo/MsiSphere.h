// The MSI sphere: for every direction of the unit sphere, an index of how hard
// the arm can hit in that direction, built from the effective mass along it and
// the largest speed the joint velocity limits allow along it (the distance to
// the convex hull of the velocity-limit corners, computed with qhull).
#pragma once

#include <vector>

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

struct MsiInputs {
  const PrMatrix* Jp;        // 3 x dof linear Jacobian of the point, base frame
  const PrMatrix* Ainv;      // dof x dof inverse mass matrix
  const PrVector* dqmax;     // dof joint speed limits, rad/s
  const PrMatrix* rotation;  // 3 x 3 orientation the sphere directions are rotated by
  const PrVector* sphere;    // unitSphere() directions, 1026 floats
  bool maxVelDisplay;        // show the effective mass (m / 100) instead of the index
};

// Fills `points` (1026 floats) with one scaled direction per sphere point.
// Returns false when there is no hull (the corners span less than 3-D, or
// qhull failed); the points then stay zero.
// Directions whose index is not a finite non-negative number (no hull facet
// along them, or no finite effective mass) get a zero point.
bool msiSphere(const MsiInputs& in, PrVector& points);

// The hull of the velocity-limit corners (Jp times every sign pattern of
// dqmax, m/s), 9 doubles per triangle: the hull the view draws from the
// velocity-limit reply (there in mm/s). False when qhull fails.
bool velocityLimitHull(const PrMatrix& Jp, const PrVector& dqmax, std::vector<double>& triangles);

// Maximum speed along the unit direction u from the origin: the distance to the
// first triangle (a, b, c) of `facets` (9 doubles each) that the ray hits; -1
// when none is hit.
float rayHullDistance(const float u[3], const double* facets, int facetCount);
