// Repulsive potential fields (Khatib): U = eta/2 (1/rho - 1/rho0)^2 inside the
// range rho0, zero beyond, whose gradient pushes away from the surface with
// magnitude eta (1/rho - 1/rho0) / rho^2.
#pragma once

#include "servo/ServoState.h"

// Magnitude of the repulsion at distance rho (clamped to a small positive
// minimum so that a point at or inside the surface gets a large, finite push).
double repulsion(double rho, double rho0, double eta);

// Sum of the repulsions of all obstacles on the point p (m, base frame),
// distances measured from each sphere's surface; acceleration units.
void obstacleRepulsion(const ServoState& s, const double p[3], double out[3]);

// Distance (m) from p to the nearest obstacle surface; +inf with none.
double nearestObstacleDistance(const ServoState& s, const double p[3]);

// Joint-limit potential, when jlimit is on: an acceleration pushing each joint
// away from a limit closer than q0, of size kj (1/rho - 1/q0) / rho^2, plus
// damping of the motion towards the limit, applied as torques A a so that the
// other joints feel none of it.
void addJointLimitTorques(ServoState& s);
