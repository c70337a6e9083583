// The azimuth/elevation grid of unit directions the MSI sphere is sampled on.
// The servo fills one scaled direction per grid point; the 3D view draws the
// grid back as quads, so both read the points in this one layout.
#pragma once

#include "matrix/PrVector.h"

constexpr int kSphereAzimuths = 18;                                     // i = 0..17
constexpr int kSphereElevations = 19;                                   // j = 0..18
constexpr int kSphereFloats = 3 * kSphereAzimuths * kSphereElevations;  // 1026

// Float index of sphere point (i, j).
constexpr int spherePointIndex(int i, int j) { return 3 * kSphereElevations * i + 3 * j; }

// 342 unit vectors (1026 floats) on the grid; the poles of every azimuth
// repeat those of the first.
void unitSphere(PrVector& sphere);
