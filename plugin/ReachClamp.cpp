#include "plugin/ReachClamp.h"

#include <cmath>

#include "plugin/JointGoalFromPose.h"

namespace {

constexpr int kBisections = 30;

bool reachable(const ServoState& s, const PrTransform& frame) {
  float q[6];
  return jointGoalFromFrame(s, frame, ik::kNearestBranch, q) != ik::IkResult::kUnreachable;
}

PrTransform along(const PrTransform& goal, const double from[3], const double way[3], double t) {
  PrTransform frame = goal;
  for (int i = 0; i < 3; ++i) frame.translation[i] = float(from[i] + t * way[i]);
  return frame;
}

}  // namespace

bool clampGoalToReach(const ServoState& s, TaskGoal& goal) {
  if (s.dof != 6 || s.dx.size() != 6 || reachable(s, goal.frame)) return false;
  double from[3], way[3];
  toolPosition(s, from);
  for (int i = 0; i < 3; ++i) way[i] = double(goal.frame.translation[i]) - from[i];
  const double length = std::sqrt(way[0] * way[0] + way[1] * way[1] + way[2] * way[2]);
  if (!(length > 0) || !reachable(s, along(goal.frame, from, way, 0))) return false;
  // The tool's own position is reachable, the goal's is not: bisect between them.
  double inside = 0, outside = 1;
  for (int k = 0; k < kBisections; ++k) {
    const double t = 0.5 * (inside + outside);
    (reachable(s, along(goal.frame, from, way, t)) ? inside : outside) = t;
  }
  goal.frame = along(goal.frame, from, way, std::fmax(0.0, inside - kReachMargin / length));
  return true;
}
