#include "plugin/OperationalLaws.h"

#include <cmath>

#include "plugin/CholeskySolve.h"
#include "plugin/ControllerMemory.h"
#include "plugin/OperationalTorque.h"
#include "plugin/ReachClamp.h"
#include "plugin/VelocitySaturation.h"
#include "utility/Angles.h"
#include "utility/consolePrint.h"

namespace {

constexpr double kPositionTrimZone = 0.005;             // m
constexpr double kOrientationTrimZone = 2 * kPi / 180;  // rad

// The "n" modes know no operational inertia: they turn the acceleration
// command into a force with one constant mass (and a moment with one constant
// inertia) for every pose and direction, about what the arm weighs at the tool
// when folded. Without it the gains alone, as newtons, cannot break the joints'
// static friction (kv vmax = 12 N).
constexpr double kNominalMass = 10.0;    // kg
constexpr double kNominalInertia = 1.0;  // kg m^2

// The goto velocity is scaled down so that no joint is asked for more than
// this share of its dqmax (the rest is room for the law's tracking error).
constexpr double kJointSpeedShare = 0.9;
constexpr double kJointSpeedDamping = 0.01;  // l in J^T (J J^T + l^2 I)^-1

}  // namespace

void trimTowardsTaskGoal(const ServoState& s, const double* error, double* command) {
  ControllerMemory& m = controllerMemory();
  double zone[kMaxTask];
  for (int i = 0; i < m.layout.r; ++i) zone[i] = kOrientationTrimZone;
  for (int k = 0; k < m.layout.nPos; ++k) zone[m.layout.pos[k]] = kPositionTrimZone;
  m.trim.apply(m.layout.r, error, s.kp.dataPtr(), zone, kServoPeriod, command);
}

void beginTaskGoal(ServoState& s, int mode) {
  beginMode(s, mode);
  ControllerMemory& m = controllerMemory();
  m.goal = goalFromRecord(s);
  m.goalAsGiven = m.goal;
  if (clampGoalToReach(s, m.goal))
    consolePrint("control: the goal is out of reach; moving as far towards it as the arm reaches\n");
}

void limitJointSpeeds(const ServoState& s, const TaskLayout& layout, double* velocity) {
  const int n = s.dof, r = layout.r;
  if (n > kMaxTask || r > kMaxTask) return;
  // dq = J^T (J J^T + l^2 I)^-1 v*: the joint speeds v* asks for, bounded
  // near singularities where J^-1 is not.
  const float* J = s.J.dataPtr();
  double jjt[kMaxTask * kMaxTask], y[kMaxTask];
  for (int i = 0; i < r; ++i) {
    y[i] = velocity[i];
    for (int k = 0; k <= i; ++k) {  // symmetric: one triangle, mirrored
      double sum = i == k ? kJointSpeedDamping * kJointSpeedDamping : 0.0;
      for (int j = 0; j < n; ++j) sum += double(J[i * n + j]) * J[k * n + j];
      jjt[i * r + k] = jjt[k * r + i] = sum;
    }
  }
  if (!choleskyFactor(r, jjt)) return;
  choleskySubstitute(r, jjt, y);
  double nu = 1;
  for (int j = 0; j < n; ++j) {
    double rate = 0;
    for (int i = 0; i < r; ++i) rate += double(J[i * n + j]) * y[i];
    const double limit = kJointSpeedShare * s.dqmax[j];
    if (std::fabs(rate) > limit) nu = std::fmin(nu, limit / std::fabs(rate));
  }
  for (int i = 0; i < r; ++i) velocity[i] *= nu;
}

void taskGotoCommand(const ServoState& s, double* command) {
  ControllerMemory& m = controllerMemory();
  taskError(s, m.layout, m.goal, m.error);
  double velocity[kMaxTask];
  saturatedTaskVelocity(m.layout, m.error, s.kp.dataPtr(), s.kv.dataPtr(), s.vmax, s.wmax, velocity);
  limitJointSpeeds(s, m.layout, velocity);
  for (int i = 0; i < m.layout.r; ++i) command[i] = -double(s.kv[i]) * (s.dx[i] - velocity[i]);
  trimTowardsTaskGoal(s, m.error, command);
}

void applyTask(ServoState& s, const double* command, bool decoupled) {
  if (decoupled) {
    decoupledTorque(s, command);
    return;
  }
  const TaskLayout& layout = controllerMemory().layout;
  double force[kMaxTask];
  for (int i = 0; i < layout.r; ++i) force[i] = kNominalInertia * command[i];
  for (int k = 0; k < layout.nPos; ++k) force[layout.pos[k]] = kNominalMass * command[layout.pos[k]];
  gravityCompensatedTorque(s, force);
}

void toolVelocity(const ServoState& s, const TaskLayout& layout, double out[3]) {
  out[0] = out[1] = out[2] = 0;
  for (int k = 0; k < layout.nPos; ++k) out[layout.worldAxis[k]] = s.dx[layout.pos[k]];
}

void goalPosition(const ServoState& s, const TaskLayout& layout, const TaskGoal& goal, double out[3]) {
  if (layout.frames) {
    for (int i = 0; i < 3; ++i) out[i] = goal.frame.translation[i];
    return;
  }
  toolPosition(s, out);
  for (int k = 0; k < layout.nPos; ++k) out[layout.worldAxis[k]] = goal.config[layout.pos[k]];
}

void setPositionalCommand(const TaskLayout& layout, const double world[3], double* command) {
  for (int k = 0; k < layout.nPos; ++k) command[layout.pos[k]] = world[layout.worldAxis[k]];
}
