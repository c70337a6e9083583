// Operational modes that shape the goto motion: pfmove (repulsive potential
// fields around the obstacles), line (a virtual line), and the project modes:
//   proj1  damped-least-squares goto: the saturated goto velocity is turned
//          into joint velocities through J^T (J J^T + l^2 I)^-1, which stays
//          bounded through singularities where the decoupled goto cannot;
//   proj2  compliance: holds the frame at mode start with a tenth of the
//          stiffness and critical damping, so the mouse spring can push the
//          arm around and it springs back;
//   proj3  circle: tracks a circle of kCircleRadius around the goal position
//          (horizontal plane; the x-z plane for the planar arm), one turn
//          every kCirclePeriod, holding the goal orientation.
#include <cmath>

#include "plugin/CholeskySolve.h"
#include "plugin/ControlEntryPoints.h"
#include "plugin/ControllerMemory.h"
#include "plugin/OperationalLaws.h"
#include "plugin/OperationalTorque.h"
#include "plugin/ReachClamp.h"
#include "plugin/RepulsivePotentials.h"
#include "plugin/VelocitySaturation.h"
#include "protocol/ControlModeTable.h"
#include "utility/Angles.h"
#include "utility/consolePrint.h"

namespace {

constexpr double kDlsDamping = 0.05;      // l in J^T (J J^T + l^2 I)^-1
constexpr double kComplianceScale = 0.1;  // proj2 stiffness relative to kp
constexpr double kCircleRadius = 0.05;    // m
constexpr double kCirclePeriod = 6.0;     // s

void pfmove(ServoState& s) {
  ControllerMemory& m = controllerMemory();
  double command[kMaxTask], p[3], push[3], world[3] = {};
  taskGotoCommand(s, command);
  toolPosition(s, p);
  obstacleRepulsion(s, p, push);
  m.nearestObstacle = nearestObstacleDistance(s, p);
  for (int k = 0; k < m.layout.nPos; ++k) world[m.layout.worldAxis[k]] = command[m.layout.pos[k]];
  for (int k = 0; k < m.layout.nPos; ++k) world[m.layout.worldAxis[k]] += push[m.layout.worldAxis[k]];
  setPositionalCommand(m.layout, world, command);
  applyTask(s, command, true);
}

bool sameVector(const PrVector3& a, const PrVector3& b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// How far along the line (from its point c closest to the origin, direction u)
// the mode's goal lies: the foot of the goal as given, pulled back towards the
// tool's foot p when the arm cannot reach it with the goal's rotation. Found
// once per line: again only when setline moves it. False when no point of the
// line is within reach.
bool lineGoalAlong(const ServoState& s, const double p[3], const double c[3], const double u[3],
                   double& along) {
  ControllerMemory& m = controllerMemory();
  if (m.lineGoalKnown && sameVector(m.lineClosest, s.line.closest) &&
      sameVector(m.lineDirection, s.line.direction)) {
    along = m.lineGoalAlong;
    return !m.lineOutOfReach;
  }
  double goal[3], to = 0, from = 0;
  goalPosition(s, m.layout, m.goalAsGiven, goal);
  for (int i = 0; i < 3; ++i) to += (goal[i] - c[i]) * u[i], from += (p[i] - c[i]) * u[i];
  m.lineOutOfReach = !reachableAlongLine(s, m.goalAsGiven.frame, c, u, from, to, along);
  // A goal itself out of reach was reported when the mode began.
  const bool goalPulledIn = !sameVector(m.goal.frame.translation, m.goalAsGiven.frame.translation);
  if (m.lineOutOfReach)
    consolePrint("line: no point of the line is within the arm's reach; moving as goto\n");
  else if (along != to && !goalPulledIn)
    consolePrint(
        "line: the goal's point on the line is out of reach; moving along the line as far as the arm "
        "reaches\n");
  m.lineGoalKnown = true;
  m.lineGoalAlong = along;
  m.lineClosest = s.line.closest;
  m.lineDirection = s.line.direction;
  return !m.lineOutOfReach;
}

// Along the line: velocity-saturated goto to the goal's projection; across
// it: the same PD back onto the line, served first. Orientation: goto.
void line(ServoState& s) {
  ControllerMemory& m = controllerMemory();
  double command[kMaxTask];
  taskGotoCommand(s, command);
  if (!s.line.enabled) {
    if (!m.lineMissing) consolePrint("line: no virtual line is set; moving as goto\n");
    m.lineMissing = true;
    applyTask(s, command, true);
    return;
  }
  double p[3], v[3], u[3], c[3];
  toolPosition(s, p);
  toolVelocity(s, m.layout, v);
  for (int i = 0; i < 3; ++i) u[i] = s.line.direction[i], c[i] = s.line.closest[i];
  double goalAlong = 0;
  if (!lineGoalAlong(s, p, c, u, goalAlong)) {
    applyTask(s, command, true);
    return;
  }
  double error[3], along = 0;
  for (int i = 0; i < 3; ++i) error[i] = p[i] - (c[i] + goalAlong * u[i]);
  for (int i = 0; i < 3; ++i) along += error[i] * u[i];
  const int first = m.layout.nPos > 0 ? m.layout.pos[0] : 0;
  const double kp = s.kp[first], kv = s.kv[first];
  // Desired velocity: back onto the line first, then along it with what is
  // left of vmax, so that a start off the line approaches no faster than vmax.
  double onto[3], ahead[3], world[3];
  const int all[3] = {0, 1, 2};
  const double ratio = kv > 0 ? kp / kv : 0;
  for (int i = 0; i < 3; ++i) {
    onto[i] = -ratio * (error[i] - along * u[i]);
    ahead[i] = -ratio * along * u[i];
  }
  limitGroupLength(onto, all, 3, s.vmax);
  const double used2 = onto[0] * onto[0] + onto[1] * onto[1] + onto[2] * onto[2];
  limitGroupLength(ahead, all, 3, std::sqrt(std::fmax(0.0, double(s.vmax) * s.vmax - used2)));
  // Slower still where a joint would pass its share of dqmax, as in goto:
  // out along a line the arm stretches, and its elbow would race.
  double desired[3], velocity[kMaxTask] = {};
  for (int i = 0; i < 3; ++i) desired[i] = onto[i] + ahead[i];
  for (int k = 0; k < m.layout.nPos; ++k) velocity[m.layout.pos[k]] = desired[m.layout.worldAxis[k]];
  limitJointSpeeds(s, m.layout, velocity);
  for (int k = 0; k < m.layout.nPos; ++k) desired[m.layout.worldAxis[k]] = velocity[m.layout.pos[k]];
  for (int i = 0; i < 3; ++i) {
    world[i] = -kv * (v[i] - desired[i]);
    m.error[i] = error[i];
  }
  setPositionalCommand(m.layout, world, command);
  applyTask(s, command, true);
}

void dampedLeastSquaresGoto(ServoState& s) {
  ControllerMemory& m = controllerMemory();
  const int n = s.dof, r = m.layout.r;
  double velocity[kMaxTask];
  taskError(s, m.layout, m.goal, m.error);
  saturatedTaskVelocity(m.layout, m.error, s.kp.dataPtr(), s.kv.dataPtr(), s.vmax, s.wmax, velocity);
  // y = (J J^T + l^2 I)^-1 v*, then dq* = J^T y.
  const float* J = s.J.dataPtr();
  double jjt[kMaxTask * kMaxTask];
  for (int i = 0; i < r; ++i)
    for (int k = 0; k < r; ++k) {
      double sum = i == k ? kDlsDamping * kDlsDamping : 0.0;
      for (int j = 0; j < n; ++j) sum += double(J[i * n + j]) * J[k * n + j];
      jjt[i * r + k] = sum;
    }
  double command[kMaxTask] = {};
  if (choleskyFactor(r, jjt)) {
    choleskySubstitute(r, jjt, velocity);
    double gain = 0;
    for (int i = 0; i < r; ++i) gain += s.kv[i] / float(r);
    for (int j = 0; j < n; ++j) {
      double rate = 0;
      for (int i = 0; i < r; ++i) rate += double(J[i * n + j]) * velocity[i];
      command[j] = gain * (rate - s.dq[j]);
    }
  }
  decoupledJointTorque(s, command);
}

void compliance(ServoState& s) {
  ControllerMemory& m = controllerMemory();
  taskError(s, m.layout, m.poseStart, m.error);
  double command[kMaxTask];
  for (int i = 0; i < m.layout.r; ++i) {
    const double kp = kComplianceScale * s.kp[i];
    command[i] = -kp * m.error[i] - 2 * std::sqrt(kp) * s.dx[i];
  }
  applyTask(s, command, true);
}

void circle(ServoState& s) {
  ControllerMemory& m = controllerMemory();
  double command[kMaxTask];
  taskGotoCommand(s, command);  // orientation entries, and the 1-joint arm
  if (m.layout.nPos < 2) {
    applyTask(s, command, true);
    return;
  }
  const int a = m.layout.worldAxis[0], b = m.layout.worldAxis[1];
  const double w = 2 * kPi / kCirclePeriod, t = modeTime(s);
  double centre[3], p[3], v[3], ref[3] = {}, refRate[3] = {}, refAcc[3] = {};
  goalPosition(s, m.layout, m.goal, centre);
  toolPosition(s, p);
  toolVelocity(s, m.layout, v);
  for (int i = 0; i < 3; ++i) ref[i] = centre[i];
  ref[a] += kCircleRadius * std::cos(w * t);
  ref[b] += kCircleRadius * std::sin(w * t);
  refRate[a] = -kCircleRadius * w * std::sin(w * t);
  refRate[b] = kCircleRadius * w * std::cos(w * t);
  refAcc[a] = -kCircleRadius * w * w * std::cos(w * t);
  refAcc[b] = -kCircleRadius * w * w * std::sin(w * t);
  const int first = m.layout.pos[0];
  const double kp = s.kp[first], kv = s.kv[first];
  // Catch up with the moving point at no more than vmax, then follow it.
  double desired[3], world[3];
  const int all[3] = {0, 1, 2};
  for (int i = 0; i < 3; ++i) desired[i] = refRate[i] - (kv > 0 ? kp / kv : 0) * (p[i] - ref[i]);
  limitGroupLength(desired, all, 3, s.vmax);
  for (int i = 0; i < 3; ++i) {
    world[i] = refAcc[i] - kv * (v[i] - desired[i]);
    m.error[i] = p[i] - ref[i];
  }
  setPositionalCommand(m.layout, world, command);
  applyTask(s, command, true);
}

}  // namespace

KORVEX_CONTROL_ENTRY initPfmoveControl(ServoState* s) { beginTaskGoal(*s, kPfmove); }
KORVEX_CONTROL_ENTRY pfmoveControl(ServoState* s) { pfmove(*s); }
KORVEX_CONTROL_ENTRY initLineControl(ServoState* s) {
  beginTaskGoal(*s, kLine);
  if (!s->line.enabled) {
    consolePrint("line: no virtual line is set; moving as goto\n");
    controllerMemory().lineMissing = true;
  }
}
KORVEX_CONTROL_ENTRY lineControl(ServoState* s) { line(*s); }
KORVEX_CONTROL_ENTRY initProj1Control(ServoState* s) { beginTaskGoal(*s, kProj1); }
KORVEX_CONTROL_ENTRY proj1Control(ServoState* s) { dampedLeastSquaresGoto(*s); }
KORVEX_CONTROL_ENTRY initProj2Control(ServoState* s) { beginMode(*s, kProj2); }
KORVEX_CONTROL_ENTRY proj2Control(ServoState* s) { compliance(*s); }
KORVEX_CONTROL_ENTRY initProj3Control(ServoState* s) { beginTaskGoal(*s, kProj3); }
KORVEX_CONTROL_ENTRY proj3Control(ServoState* s) { circle(*s); }
