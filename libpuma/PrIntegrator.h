// PrIntegrator: advances a PrRobot by one time step under its torque array.
#pragma once

class PrRobot;

class PrIntegrator {
 public:
  // Runs forward dynamics, then q ← q + dt·q̇ + ½·dt²·q̈ and q̇ ← q̇ + dt·q̈
  // (positions from the old velocities). dt in s. When the accelerations are
  // not finite the state is left as it was and false is returned, so a bad
  // torque or state cannot poison the positions and velocities.
  bool step(PrRobot& robot, float dt);
};
