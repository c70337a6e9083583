#include "plugin/ArmConfigurationChange.h"

#include <cmath>

#include "plugin/ControllerMemory.h"
#include "plugin/JointGoalFromPose.h"
#include "plugin/JointLaws.h"
#include "utility/consolePrint.h"

namespace {

bool sameArmConfiguration(const float* a, const float* b) {
  double qa[6], qb[6];
  for (int i = 0; i < 6; ++i) qa[i] = a[i], qb[i] = b[i];
  return ik::armBranchOf(qa) == ik::armBranchOf(qb);
}

// Share of the planned speed that keeps the tool within vmax and wmax: the
// joint path alone would swing it at up to the joints' dqmax.
double toolSpeedRate(const ServoState& s, const float* dq) {
  const int n = s.dof;
  const float* J = s.J.dataPtr();
  double linear = 0, angular = 0;
  for (int i = 0; i < 6; ++i) {
    double v = 0;
    for (int j = 0; j < n; ++j) v += double(J[i * n + j]) * dq[j];
    (i < 3 ? linear : angular) += v * v;
  }
  linear = std::sqrt(linear);
  angular = std::sqrt(angular);
  double rate = 1;
  if (linear * rate > s.vmax) rate = s.vmax / linear;
  if (angular * rate > s.wmax) rate = s.wmax / angular;
  return rate;
}

}  // namespace

bool planArmConfigurationChange(ServoState& s) {
  ControllerMemory& m = controllerMemory();
  m.jointLeg = false;
  if (s.dof != 6 || !m.layout.frames) return false;
  float goal[6];
  if (jointGoalFromFrame(s, m.goal.frame, ik::kNearestBranch, goal) != ik::IkResult::kSolved) return false;
  if (sameArmConfiguration(s.q.dataPtr(), goal)) return false;
  beginJointTrack(s, goal);
  m.jointLeg = true;
  m.legTime = 0;
  consolePrint(
      "control: the goal lies in another arm configuration (shoulder or elbow on the other side of its "
      "singularity); moving there along a joint path first\n");
  return true;
}

bool followArmConfigurationChange(ServoState& s, bool decoupled) {
  ControllerMemory& m = controllerMemory();
  if (!m.jointLeg) return false;
  if (m.legTime >= m.jointPath.duration()) {
    m.jointLeg = false;
    m.trim.reset();
    m.poseStart = currentPose(s);
    m.taskPath.plan(m.layout, m.poseStart, m.goal, s.vmax, s.amax, s.wmax);
    m.pathTime = 0;
    return false;
  }
  float q[6], dq[6], ddq[6];
  m.jointPath.sample(m.legTime, q, dq, ddq);
  const double rate = toolSpeedRate(s, dq);
  trackJointPathAt(s, decoupled, m.legTime, rate);
  m.legTime += rate * kServoPeriod;
  taskError(s, m.layout, m.goal, m.error);
  return true;
}
