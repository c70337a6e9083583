// Operational modes: hold (the frame at mode start), xtrack (through inverse kinematics and a
// joint path), goto (velocity saturated) and track (a planned straight-line
// path with feed-forward). The "n" variants apply the gains as forces with
// gravity compensation only; the others decouple through Lambda, mu and p.
#include <cmath>

#include "plugin/ArmConfigurationChange.h"
#include "plugin/ControlEntryPoints.h"
#include "plugin/ControllerMemory.h"
#include "plugin/JointGoalFromPose.h"
#include "plugin/JointLaws.h"
#include "plugin/OperationalLaws.h"
#include "protocol/ControlModeTable.h"
#include "utility/consolePrint.h"

namespace {

// Operational PD holding the frame (or configuration) the mode started at.
void holdPose(ServoState& s, bool decoupled) {
  ControllerMemory& m = controllerMemory();
  taskError(s, m.layout, m.poseStart, m.error);
  double command[kMaxTask];
  for (int i = 0; i < m.layout.r; ++i) command[i] = -double(s.kp[i]) * m.error[i] - double(s.kv[i]) * s.dx[i];
  // Without the disturbance observer only the trim pushes through friction.
  if (!decoupled) trimTowardsTaskGoal(s, m.error, command);
  applyTask(s, command, decoupled);
}

void beginXtrack(ServoState& s, int mode) {
  const char* word = controlModeWord(mode);
  beginMode(s, mode);
  ControllerMemory& m = controllerMemory();
  if (s.elbow < 0 || s.elbow > ik::kNearestBranch) {
    consolePrint("%s: elbow %d is not a branch (0 to 7, or 8 for the nearest); holding\n", word, s.elbow);
    m.refused = true;
    return;
  }
  float goal[6];
  switch (jointGoalFromPose(s, s.elbow, goal)) {
    case ik::IkResult::kSolved:
      beginJointTrack(s, goal);
      return;
    case ik::IkResult::kUnreachable:
      consolePrint("%s: the goal is out of the arm's reach; holding\n", word);
      break;
    case ik::IkResult::kOutsideLimits:
      consolePrint("%s: the goal needs joint angles outside their limits (elbow %d); holding\n", word,
                   s.elbow);
      break;
  }
  m.refused = true;
}

void xtrack(ServoState& s, bool decoupled) {
  if (controllerMemory().refused)
    holdStart(s, decoupled);
  else
    trackJointPath(s, decoupled);
}

void beginGoto(ServoState& s, int mode) {
  beginTaskGoal(s, mode);
  planArmConfigurationChange(s);
}

void taskGoto(ServoState& s, bool decoupled) {
  if (followArmConfigurationChange(s, decoupled)) return;
  double command[kMaxTask];
  taskGotoCommand(s, command);
  applyTask(s, command, decoupled);
}

void beginTrack(ServoState& s, int mode) {
  beginTaskGoal(s, mode);
  ControllerMemory& m = controllerMemory();
  m.taskPath.plan(m.layout, m.poseStart, m.goal, s.vmax, s.amax, s.wmax);
  planArmConfigurationChange(s);
}

// Feed-forward + PD along the planned path; dxd and ddxd carry the reference.
void track(ServoState& s, bool decoupled) {
  if (followArmConfigurationChange(s, decoupled)) return;
  ControllerMemory& m = controllerMemory();
  TaskReference reference;
  m.taskPath.sample(m.pathTime, reference);
  // Near a singularity the path's speed may ask too much of the joints: the
  // path then runs slower (rate < 1), velocity and acceleration scaled alike.
  double velocity[kMaxTask];
  for (int i = 0; i < m.layout.r; ++i) velocity[i] = reference.velocity[i];
  limitJointSpeeds(s, m.layout, velocity);
  double rate = 1;
  for (int i = 0; i < m.layout.r; ++i)
    if (std::fabs(reference.velocity[i]) > 1e-9) rate = std::fmin(rate, velocity[i] / reference.velocity[i]);
  rate = std::fmax(0.0, rate);
  for (int i = 0; i < m.layout.r; ++i) {
    reference.velocity[i] *= rate;
    reference.acceleration[i] *= rate * rate;
  }
  m.pathTime += rate * kServoPeriod;
  taskError(s, m.layout, reference.pose, m.error);
  double command[kMaxTask];
  for (int i = 0; i < m.layout.r; ++i) {
    command[i] = -double(s.kp[i]) * m.error[i] - double(s.kv[i]) * (s.dx[i] - reference.velocity[i]);
    if (decoupled) command[i] += reference.acceleration[i];
    s.dxd[i] = float(reference.velocity[i]);
    s.ddxd[i] = float(reference.acceleration[i]);
  }
  trimTowardsTaskGoal(s, m.error, command);
  applyTask(s, command, decoupled);
}

}  // namespace

KORVEX_CONTROL_ENTRY initNholdControl(ServoState* s) { beginMode(*s, kNhold); }
KORVEX_CONTROL_ENTRY nholdControl(ServoState* s) { holdPose(*s, false); }
KORVEX_CONTROL_ENTRY initHoldControl(ServoState* s) { beginMode(*s, kHold); }
KORVEX_CONTROL_ENTRY holdControl(ServoState* s) { holdPose(*s, true); }

KORVEX_CONTROL_ENTRY initNxtrackControl(ServoState* s) { beginXtrack(*s, kNxtrack); }
KORVEX_CONTROL_ENTRY nxtrackControl(ServoState* s) { xtrack(*s, false); }
KORVEX_CONTROL_ENTRY initXtrackControl(ServoState* s) { beginXtrack(*s, kXtrack); }
KORVEX_CONTROL_ENTRY xtrackControl(ServoState* s) { xtrack(*s, true); }

KORVEX_CONTROL_ENTRY initNgotoControl(ServoState* s) { beginGoto(*s, kNgoto); }
KORVEX_CONTROL_ENTRY ngotoControl(ServoState* s) { taskGoto(*s, false); }
KORVEX_CONTROL_ENTRY initGotoControl(ServoState* s) { beginGoto(*s, kGoto); }
KORVEX_CONTROL_ENTRY gotoControl(ServoState* s) { taskGoto(*s, true); }

KORVEX_CONTROL_ENTRY initNtrackControl(ServoState* s) { beginTrack(*s, kNtrack); }
KORVEX_CONTROL_ENTRY ntrackControl(ServoState* s) { track(*s, false); }
KORVEX_CONTROL_ENTRY initTrackControl(ServoState* s) { beginTrack(*s, kTrack); }
KORVEX_CONTROL_ENTRY trackControl(ServoState* s) { track(*s, true); }
