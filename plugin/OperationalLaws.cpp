#include "plugin/OperationalLaws.h"

#include "plugin/ControllerMemory.h"
#include "plugin/OperationalTorque.h"
#include "plugin/VelocitySaturation.h"

namespace {

constexpr double kPositionTrimZone = 0.005;                // m
constexpr double kOrientationTrimZone = 2 * 0.0174532925;  // rad

// The "n" modes know no operational inertia: they turn the acceleration
// command into a force with one constant mass (and a moment with one constant
// inertia) for every pose and direction, about what the arm weighs at the tool
// when folded. Without it the gains alone, as newtons, cannot break the joints'
// static friction (kv vmax = 12 N).
constexpr double kNominalMass = 10.0;    // kg
constexpr double kNominalInertia = 1.0;  // kg m^2

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
  controllerMemory().goal = goalFromRecord(s);
}

void taskGotoCommand(const ServoState& s, double* command) {
  ControllerMemory& m = controllerMemory();
  taskError(s, m.layout, m.goal, m.error);
  saturatedTaskCommand(m.layout, m.error, s.dx.dataPtr(), s.kp.dataPtr(), s.kv.dataPtr(), s.vmax, s.wmax,
                       command);
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
