#include "gui/ViewGoal.h"

#include <cmath>

#include "libpuma/IRobotModel.h"
#include "protocol/ControlModeTable.h"
#include "servo/ScopeSample.h"
#include "servo/ServoState.h"
#include "utility/Angles.h"
#include "utility/allFinite.h"

namespace {

constexpr float kSameAngle = 0.01f;     // degrees, as the drawn arm's
constexpr float kSameDistance = 1e-4f;  // m: a tenth of a millimetre

bool near(float a, float b, float tolerance) { return std::fabs(a - b) <= tolerance; }

}  // namespace

bool ViewGoal::sameAs(const ViewGoal& other) const {
  if (kind != other.kind) return false;
  if (kind == kJoints) {
    if (qd.size() != other.qd.size()) return false;
    for (int i = 0; i < qd.size(); ++i)
      if (!near(qd[i], other.qd[i], kSameAngle)) return false;
    return true;
  }
  if (kind == kNone) return true;
  for (int i = 0; i < 3; ++i) {
    if (!near(frame.translation[i], other.frame.translation[i], kSameDistance)) return false;
    if (!near(foot[i], other.foot[i], kSameDistance)) return false;
  }
  // Quaternions of the same unit length: |dot| near 1 is the same rotation.
  return std::fabs(frame.rotation.dot(other.frame.rotation)) >= std::cos(kSameAngle * kPiF / 360);
}

ViewGoal goalOfTick(const ScopeSample& tick, const IRobotModel& model, const VirtualLine& line) {
  ViewGoal goal;
  if (tick.dof != model.dof() || tick.config != model.m_numConfigParms) return goal;
  if (takesJointGoal(tick.mode)) {
    goal.kind = ViewGoal::kJoints;
    goal.qd = PrVector(tick.dof);
    for (int i = 0; i < tick.dof; ++i) goal.qd[i] = tick.qd[i] * 180 / kPiF;
    return goal;
  }
  if (!takesConfigGoal(tick.mode)) return goal;
  if (!allFinite(tick.xd, tick.config)) return goal;
  PrVector xd(tick.xd, tick.config);
  model.configToFrame(xd, goal.frame);
  goal.kind = ViewGoal::kFrame;
  if (tick.mode == kLine) {
    // The law pulls the tool onto the line, toward the goal's projection.
    const PrVector3 along = goal.frame.translation - line.closest;
    goal.foot = line.closest + line.direction * along.dot(line.direction);
    goal.kind = ViewGoal::kLineFoot;
  }
  return goal;
}
