// PrIntegrator: advances a PrRobot by one time step under its torque array.
//
// The step is drift–kick–drift (Störmer–Verlet) with one forward-dynamics
// evaluation: half a step of drift, the accelerations at that midpoint, a full
// kick of the velocities, the second half drift with the new velocities. The
// accelerations depend on the velocities (Coriolis, friction), so the midpoint
// velocity is predicted from the previous step's accelerations.
//
// Why this one, from the free swing of the shipped arm (friction off, 10 s at
// 2 ms, energy error against the peak kinetic energy of the swing):
//   q += dt·q̇ + ½dt²·q̈, q̇ += dt·q̈ (one evaluation)        2.6–3.8 %, growing
//   semi-implicit Euler (one evaluation)                      1.2–1.4 %
//   drift–kick–drift with the start velocity at the midpoint  1.1–1.3 %
//   explicit midpoint rule (two evaluations)                  0.0012–0.0016 %
//   drift–kick–drift, predicted midpoint velocity (one)       0.0021–0.0035 %
// The last keeps the midpoint rule's accuracy at half its cost.
//
// Joints that friction stops or holds during the step end it exactly at rest,
// as the friction rules intend.
#pragma once

#include <memory>

#include "libpuma/PrJointState.h"

class PrRobot;

class PrIntegrator {
 public:
  explicit PrIntegrator(int numJoints);

  // dt in s. When an acceleration is not finite the robot's positions and
  // velocities are left as they were and false is returned, so a bad torque or
  // state cannot poison them. Leaves the link frames at the midpoint of the
  // step: PrRobot::ensureKinematics() brings them to the end.
  bool step(PrRobot& robot, float dt);

 private:
  PrJointState start_;  // positions, velocities and accelerations at the start of the step
  PrJointState end_;    // where the last step left the robot, with the accelerations it used
  bool endValid_ = false;
};
