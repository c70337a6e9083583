// The shapes the user interface draws around the end effector: the
// effective-mass ellipsoid and the acceleration and velocity limit points
// (the MSI's sphere grid is geometry/SphereGrid.h).
//
// Jacobians here are 3 x dof linear point Jacobians (m/rad) in the base frame;
// Ainv is the inverse joint-space mass matrix (dof x dof). For a reduced model
// the caller first maps the driver's 3 x 6 Jacobian onto the model's joints
// (see ServoVisualisation::pointJacobian). Results are written into caller-supplied vectors.
#pragma once

#include "geometry/SphereGrid.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

// Corners of the box of joint values ±limits[j] mapped by `map` (3 x dof), one
// point per sign pattern k = 0 .. 2^dof - 1 (bit j set: element j negated),
// scaled by `scale`: 3 x 2^dof floats in order of k.
void signPatternPoints(const PrMatrix& map, const PrVector& limits, float scale, PrVector& points);

// Working matrices of the shapes below, sized on first use and reused, so that
// the servo's request handlers do not allocate once every shape has been drawn.
struct ShapeScratch {
  PrMatrix map, JAinv, Minv;
};

// Acceleration limits: torque limits through Jp A⁻¹ (m/s² per corner).

void accelerationLimitPoints(const PrMatrix& Jp, const PrMatrix& Ainv, const PrVector& tauMax,
                             PrVector& points, ShapeScratch& scratch);
// Velocity limits: joint speed limits through Jp, times 1000 (mm/s per corner).
void velocityLimitPoints(const PrMatrix& Jp, const PrVector& dqmax, PrVector& points);

// Effective-mass ellipsoid of J A⁻¹ Jᵀ: three eigenvectors (3 floats each),
// then the reciprocal eigenvalues (kg, 0 for a direction with no finite mass);
// 12 floats. A J of zeros (no contact point set) gives 12 zeros.
void effectiveMassEllipsoid(const PrMatrix& J, const PrMatrix& Ainv, PrVector& ellipsoid);
// The same, working in scratch (no allocation once it is sized).
void effectiveMassEllipsoid(const PrMatrix& J, const PrMatrix& Ainv, PrVector& ellipsoid,
                            ShapeScratch& scratch);
