// Joint-space disturbance observer for the model-based modes. Friction and
// any mismatch between the model's dynamics and the simulated arm's show up
// as the torque the rigid-body model does not explain:
//   d = tau_applied - (A qdd + B + G),  qdd from the change of dq over a tick,
// low-pass filtered at kCutoff and added to the next command, so the arm
// behaves like the model the law was designed for. Constant disturbances (the
// friction that would leave a PD short of its goal) are cancelled entirely.
#pragma once

#include "servo/ServoState.h"

class DisturbanceObserver {
 public:
  static constexpr int kMaxJoints = 6;
  static constexpr double kCutoff = 100.0;  // rad/s (16 Hz)

  void reset();
  // Called once per tick after the law has written tau: updates the estimate
  // from this tick's measurements and the torque applied over the last tick
  // (taken as limited to tauMax), then adds it to tau. dt in s.
  void compensate(ServoState& s, double dt);
  // Forgets the last applied torque so the next tick only measures.
  void idle();
  const double* estimate() const { return m_estimate; }

 private:
  int m_dof = 0;
  bool m_primed = false;  // m_lastTau and m_lastDq hold the previous tick
  double m_estimate[kMaxJoints] = {};
  double m_lastTau[kMaxJoints] = {};
  double m_lastDq[kMaxJoints] = {};
};
