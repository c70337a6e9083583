// Joint-space modes: nocontrol, float, the joint holds, open, and the joint
// moves, gotos and tracks. The "n" variants use the gains as torques per
// radian with gravity compensation only; the others decouple the joints
// through the mass matrix: tau = A qdd* + B + G.
#include <cmath>

#include "plugin/ControlEntryPoints.h"
#include "plugin/ControllerMemory.h"
#include "plugin/JointLaws.h"
#include "plugin/OperationalTorque.h"
#include "plugin/VelocitySaturation.h"
#include "protocol/ControlModeTable.h"
#include "utility/Angles.h"

namespace {

// The open mode's reference: every joint swings out by kOpenSwing and back,
// q_ref = q_start + kOpenSwing (1 - cos(w t)) / 2, once every kOpenPeriod,
// for as long as the mode runs (peak 39 deg/s and 2.2 rad/s^2, enough to
// break the joints' static friction).
constexpr double kOpenSwing = 25 * kPi / 180;  // rad
constexpr double kOpenPeriod = 2.0;            // s

// qdd* = kp (target - q) + kv (dtarget - dq) + feedForward, per joint.
void jointPd(const ServoState& s, const float* target, const float* targetRate, const float* feedForward,
             double* out) {
  for (int i = 0; i < s.dof; ++i) {
    out[i] = double(s.kp[i]) * (target[i] - s.q[i]) + double(s.kv[i]) * (targetRate[i] - s.dq[i]);
    if (feedForward) out[i] += feedForward[i];
  }
}

// Integral trim zone of the joint goals: 2 degrees.
constexpr double kJointTrimZone = 2 * kPi / 180;

void trimTowardsGoal(const ServoState& s, const float* target, double* command) {
  double error[6], zone[6];
  for (int i = 0; i < s.dof; ++i) {
    error[i] = double(s.q[i]) - target[i];
    zone[i] = kJointTrimZone;
  }
  controllerMemory().trim.apply(s.dof, error, s.kp.dataPtr(), zone, kServoPeriod, command);
}

void applyJoint(ServoState& s, const double* command, bool decoupled) {
  if (decoupled)
    decoupledJointTorque(s, command);
  else
    gravityCompensatedJointTorque(s, command);
  ControllerMemory& m = controllerMemory();
  for (int i = 0; i < s.dof; ++i) m.error[i] = double(s.q[i]) - m.qGoal[i];
}

void hold(ServoState& s, bool decoupled) {
  const float zero[6] = {};
  double command[6];
  jointPd(s, controllerMemory().qStart, zero, nullptr, command);
  // Without the disturbance observer only the trim pushes through friction.
  if (!decoupled) trimTowardsGoal(s, controllerMemory().qStart, command);
  applyJoint(s, command, decoupled);
}

void beginJointGoal(ServoState& s, int mode) {
  beginMode(s, mode);
  ControllerMemory& m = controllerMemory();
  for (int i = 0; i < s.dof; ++i) m.qGoal[i] = s.qd[i];
}

void move(ServoState& s, bool decoupled) {
  double command[6];
  jointPd(s, controllerMemory().qGoal, s.dqd.dataPtr(), nullptr, command);
  trimTowardsGoal(s, controllerMemory().qGoal, command);
  applyJoint(s, command, decoupled);
}

void jointGoto(ServoState& s, bool decoupled) {
  ControllerMemory& m = controllerMemory();
  double error[6], command[6];
  for (int i = 0; i < s.dof; ++i) error[i] = double(s.q[i]) - m.qGoal[i];
  saturatedJointCommand(s.dof, error, s.dq.dataPtr(), s.kp.dataPtr(), s.kv.dataPtr(), s.dqmax.dataPtr(),
                        command);
  trimTowardsGoal(s, m.qGoal, command);
  applyJoint(s, command, decoupled);
}

}  // namespace

void beginJointTrack(ServoState& s, const float* goal) {
  ControllerMemory& m = controllerMemory();
  for (int i = 0; i < s.dof; ++i) m.qGoal[i] = goal[i];
  m.jointPath.plan(s.dof, s.q.dataPtr(), m.qGoal, s.dqmax.dataPtr(), s.ddqmax.dataPtr());
}

void trackJointPath(ServoState& s, bool decoupled) { trackJointPathAt(s, decoupled, modeTime(s), 1.0); }

void trackJointPathAt(ServoState& s, bool decoupled, double t, double rate) {
  ControllerMemory& m = controllerMemory();
  m.jointPath.sample(t, s.qd.dataPtr(), s.dqd.dataPtr(), s.ddqd.dataPtr());
  for (int i = 0; i < s.dof; ++i) {
    s.dqd[i] *= float(rate);
    s.ddqd[i] *= float(rate * rate);
  }
  double command[6];
  jointPd(s, s.qd.dataPtr(), s.dqd.dataPtr(), decoupled ? s.ddqd.dataPtr() : nullptr, command);
  trimTowardsGoal(s, s.qd.dataPtr(), command);
  applyJoint(s, command, decoupled);
}

void holdStart(ServoState& s, bool decoupled) {
  ControllerMemory& m = controllerMemory();
  for (int i = 0; i < s.dof; ++i) m.qGoal[i] = m.qStart[i];
  hold(s, decoupled);
}

KORVEX_CONTROL_ENTRY noControl(ServoState*) { controllerMemory().mode = kNoControl; }

KORVEX_CONTROL_ENTRY initFloatControl(ServoState* s) { beginMode(*s, kFloat); }
KORVEX_CONTROL_ENTRY floatControl(ServoState* s) {
  controllerMemory().mode = kFloat;
  for (int i = 0; i < s->dof; ++i) s->tau[i] += s->G[i];
}

KORVEX_CONTROL_ENTRY initNjholdControl(ServoState* s) { beginMode(*s, kNjhold); }
KORVEX_CONTROL_ENTRY njholdControl(ServoState* s) { holdStart(*s, false); }
KORVEX_CONTROL_ENTRY initJholdControl(ServoState* s) { beginMode(*s, kJhold); }
KORVEX_CONTROL_ENTRY jholdControl(ServoState* s) { holdStart(*s, true); }

KORVEX_CONTROL_ENTRY initOpenControl(ServoState* s) { beginMode(*s, kOpen); }
KORVEX_CONTROL_ENTRY openControl(ServoState* s) {
  // Feed-forward only: the arm follows the swing approximately and drifts.
  const double w = 2 * kPi / kOpenPeriod;
  const double t = modeTime(*s);
  double acceleration[6];
  ControllerMemory& m = controllerMemory();
  for (int i = 0; i < s->dof; ++i) {
    acceleration[i] = kOpenSwing * w * w / 2 * std::cos(w * t);
    m.qGoal[i] = float(m.qStart[i] + kOpenSwing * (1 - std::cos(w * t)) / 2);
  }
  applyJoint(*s, acceleration, true);
}

KORVEX_CONTROL_ENTRY initNjmoveControl(ServoState* s) { beginJointGoal(*s, kNjmove); }
KORVEX_CONTROL_ENTRY njmoveControl(ServoState* s) { move(*s, false); }
KORVEX_CONTROL_ENTRY initJmoveControl(ServoState* s) { beginJointGoal(*s, kJmove); }
KORVEX_CONTROL_ENTRY jmoveControl(ServoState* s) { move(*s, true); }

KORVEX_CONTROL_ENTRY initNjgotoControl(ServoState* s) { beginJointGoal(*s, kNjgoto); }
KORVEX_CONTROL_ENTRY njgotoControl(ServoState* s) { jointGoto(*s, false); }
KORVEX_CONTROL_ENTRY initJgotoControl(ServoState* s) { beginJointGoal(*s, kJgoto); }
KORVEX_CONTROL_ENTRY jgotoControl(ServoState* s) { jointGoto(*s, true); }

KORVEX_CONTROL_ENTRY initNjtrackControl(ServoState* s) {
  beginMode(*s, kNjtrack);
  beginJointTrack(*s, s->qd.dataPtr());
}
KORVEX_CONTROL_ENTRY njtrackControl(ServoState* s) { trackJointPath(*s, false); }
KORVEX_CONTROL_ENTRY initJtrackControl(ServoState* s) {
  beginMode(*s, kJtrack);
  beginJointTrack(*s, s->qd.dataPtr());
}
KORVEX_CONTROL_ENTRY jtrackControl(ServoState* s) { trackJointPath(*s, true); }
