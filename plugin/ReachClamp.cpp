#include "plugin/ReachClamp.h"

#include <cmath>

#include "plugin/JointGoalFromPose.h"
#include "plugin/PumaInverseKinematics.h"

namespace {

constexpr int kBisections = 30;
constexpr int kSamples = 32;  // along a way whose near end is out of reach too
// Where the way from the goal ends when even the tool's own position is out of
// reach with the goal's rotation: this far out from the base axis, at shoulder
// height, the wrist reaches every direction.
constexpr double kInnerRadius = 0.5;  // m

bool reachable(const ServoState& s, const PrTransform& frame) {
  float q[6];
  return jointGoalFromFrame(s, frame, ik::kNearestBranch, q) != ik::IkResult::kUnreachable;
}

PrTransform along(const PrTransform& goal, const double from[3], const double way[3], double t) {
  PrTransform frame = goal;
  for (int i = 0; i < 3; ++i) frame.translation[i] = float(from[i] + t * way[i]);
  return frame;
}

// The last t of [0, 1] at which reachableAt(t) holds, for a way of `length`
// metres from t = 0 to t = 1, kReachMargin short of the first unreachable
// point: the last reachable sample from the goal's end, then bisection
// between it and the unreachable one after it. -1 when no sample is reachable.
template <typename ReachableAt>
double lastReachable(double length, ReachableAt reachableAt) {
  double inside = -1, outside = 1;
  for (int k = kSamples; k >= 0 && inside < 0; --k) {
    const double t = double(k) / kSamples;
    (reachableAt(t) ? inside : outside) = t;
  }
  if (inside < 0) return -1;
  for (int k = 0; k < kBisections; ++k) {
    const double t = 0.5 * (inside + outside);
    (reachableAt(t) ? inside : outside) = t;
  }
  return std::fmax(0.0, inside - kReachMargin / length);
}

// Pulls the goal back along the way from `from` to it, to the last point the
// arm reaches; false when no point of the way is reachable.
bool clampAlong(const ServoState& s, const double from[3], TaskGoal& goal) {
  double way[3];
  for (int i = 0; i < 3; ++i) way[i] = double(goal.frame.translation[i]) - from[i];
  const double length = std::sqrt(way[0] * way[0] + way[1] * way[1] + way[2] * way[2]);
  if (!(length > 0)) return false;
  const double t =
      lastReachable(length, [&](double at) { return reachable(s, along(goal.frame, from, way, at)); });
  if (t < 0) return false;
  goal.frame = along(goal.frame, from, way, t);
  return true;
}

// The reduced arms (3 and 4 joints): their configuration is the tool's
// position (px, pz or px, py, pz) and one angle, which only the joint limits
// bound. The model's forward kinematics may differ from the servo's x by a
// constant offset, as in jointGoalFromPose.
bool reachableReduced(const ServoState& s, const float* config) {
  const int n = s.dof;
  double qNow[4] = {}, qmin[4] = {}, qmax[4] = {}, model[4] = {}, goal[4] = {}, q[4] = {};
  for (int i = 0; i < n && i < 4; ++i) qNow[i] = s.q[i], qmin[i] = s.qmin[i], qmax[i] = s.qmax[i];
  ik::forwardReduced(n, qNow, model);
  for (int i = 0; i < n; ++i) goal[i] = double(config[i]) - (double(s.x[i]) - model[i]);
  return ik::inverseReduced(n, goal, ik::kNearestBranch, ik::IkContext{qNow, qmin, qmax}, q) !=
         ik::IkResult::kUnreachable;
}

bool clampReducedGoal(const ServoState& s, TaskGoal& goal) {
  const int n = s.dof, positions = n - 1;
  if (s.x.size() < n || reachableReduced(s, goal.config)) return false;
  double length2 = 0;
  for (int i = 0; i < positions; ++i) length2 += std::pow(double(goal.config[i]) - s.x[i], 2);
  if (!(length2 > 0)) return false;
  float config[7];
  const auto at = [&](double t) {
    for (int i = 0; i < n; ++i) config[i] = goal.config[i];
    for (int i = 0; i < positions; ++i) config[i] = float(s.x[i] + t * (double(goal.config[i]) - s.x[i]));
    return config;
  };
  const double t = lastReachable(std::sqrt(length2), [&](double u) { return reachableReduced(s, at(u)); });
  if (t < 0) return false;
  const float* pulled = at(t);
  for (int i = 0; i < positions; ++i) goal.config[i] = pulled[i];
  return true;
}

}  // namespace

bool clampGoalToReach(const ServoState& s, TaskGoal& goal) {
  if (s.dof == 3 || s.dof == 4) return clampReducedGoal(s, goal);
  if (s.dof != 6 || s.dx.size() != 6 || reachable(s, goal.frame)) return false;
  double from[3];
  toolPosition(s, from);
  if (clampAlong(s, from, goal)) return true;
  // The goal's rotation is out of reach even where the tool stands (the
  // stretched arm of q = 0 turned to point down): come in towards the base
  // axis instead, on the goal's side of it.
  const double x = goal.frame.translation[0], y = goal.frame.translation[1];
  const double radius = std::hypot(x, y);
  const double inner[3] = {radius > 0 ? kInnerRadius * x / radius : kInnerRadius,
                           radius > 0 ? kInnerRadius * y / radius : 0.0, 0.0};
  return clampAlong(s, inner, goal);
}

bool reachableAlongLine(const ServoState& s, const PrTransform& goal, const double c[3], const double u[3],
                        double from, double to, double& along) {
  along = to;
  if (s.dof != 6) return true;
  TaskGoal onLine;
  onLine.frame = goal;
  for (int i = 0; i < 3; ++i) onLine.frame.translation[i] = float(c[i] + to * u[i]);
  if (reachable(s, onLine.frame)) return true;
  // From the tool's side first; where the goal's rotation is out of reach
  // there too, from the line's point nearest the shoulder.
  for (const double t : {from, 0.0}) {
    double start[3];
    for (int i = 0; i < 3; ++i) start[i] = c[i] + t * u[i];
    TaskGoal pulled = onLine;
    if (!clampAlong(s, start, pulled)) continue;
    along = 0;
    for (int i = 0; i < 3; ++i) along += (double(pulled.frame.translation[i]) - c[i]) * u[i];
    return true;
  }
  return false;
}
