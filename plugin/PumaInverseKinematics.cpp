#include "plugin/PumaInverseKinematics.h"

#include <cmath>
#include <limits>

#include "utility/Angles.h"

namespace ik {

namespace {

constexpr double kTwoPi = 2 * kPi;

double wrapToPi(double a) {
  a = std::remainder(a, kTwoPi);
  return a <= -kPi ? a + kTwoPi : a;
}

// Moves angle a by whole turns to the value nearest `near` that lies inside
// [lo, hi]; false when no turn of it does.
bool placeInLimits(double a, double near, double lo, double hi, double& out) {
  double best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  const double base = a + kTwoPi * std::round((near - a) / kTwoPi);
  for (int k = -2; k <= 2; ++k) {
    const double candidate = base + k * kTwoPi;
    if (candidate < lo - 1e-9 || candidate > hi + 1e-9) continue;
    const double distance = std::fabs(candidate - near);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = candidate;
    }
  }
  if (!std::isfinite(bestDistance)) return false;
  out = best;
  return true;
}

bool placeAllInLimits(int n, const double* raw, const IkContext& ctx, double* q) {
  for (int i = 0; i < n; ++i)
    if (!placeInLimits(raw[i], ctx.qNow[i], ctx.qmin[i], ctx.qmax[i], q[i])) return false;
  return true;
}

double distanceSquared(int n, const double* a, const double* b) {
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
  return sum;
}

// Turns the base so that the point (px, py) lies at lateral offset `lateral`
// from the arm plane; returns the signed reach in that plane.
bool solveBase(double px, double py, double lateral, bool leftArm, double& q1, double& reach) {
  const double r2 = px * px + py * py - lateral * lateral;
  if (r2 < 0) return false;
  reach = leftArm ? -std::sqrt(r2) : std::sqrt(r2);
  q1 = wrapToPi(std::atan2(py, px) - std::atan2(lateral, reach));
  return true;
}

// Solves `count` branches of a reduced or full arm and keeps the best one.
template <typename Solve>
IkResult pickBranch(int n, int branch, int branchCount, const IkContext& ctx, double* q, Solve solve) {
  double raw[6], placed[6];
  if (branch != kNearestBranch) {
    if (!solve(branch % branchCount, raw)) return IkResult::kUnreachable;
    if (!placeAllInLimits(n, raw, ctx, placed)) return IkResult::kOutsideLimits;
    for (int i = 0; i < n; ++i) q[i] = placed[i];
    return IkResult::kSolved;
  }
  bool anySolution = false, anyInLimits = false;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (int b = 0; b < branchCount; ++b) {
    if (!solve(b, raw)) continue;
    anySolution = true;
    if (!placeAllInLimits(n, raw, ctx, placed)) continue;
    anyInLimits = true;
    const double d = distanceSquared(n, placed, ctx.qNow);
    if (d < bestDistance) {
      bestDistance = d;
      for (int i = 0; i < n; ++i) q[i] = placed[i];
    }
  }
  if (anyInLimits) return IkResult::kSolved;
  return anySolution ? IkResult::kOutsideLimits : IkResult::kUnreachable;
}

}  // namespace

bool solveArmPlane(double reach, double height, bool elbowDown, double& q2, double& q3) {
  // The forearm (d4 along its axis, a3 across it) has a fixed length; the law of
  // cosines gives reach*c2 - height*s2 = k, i.e. rho*cos(q2 + phi) = k.
  const double forearm2 = kD4 * kD4 + kA3 * kA3;
  const double rho = std::hypot(reach, height);
  if (rho < 1e-9) return false;
  const double k = (rho * rho + kA2 * kA2 - forearm2) / (2 * kA2);
  const double ratio = k / rho;
  if (ratio > 1 + 1e-9 || ratio < -1 - 1e-9) return false;
  const double phi = std::atan2(height, reach);
  const double spread = std::acos(std::fmax(-1.0, std::fmin(1.0, ratio)));
  // Of the two shoulder angles, "up" keeps the elbow above the shoulder-wrist
  // line as seen facing along the reach.
  const double facing = reach >= 0 ? 1.0 : -1.0;
  double best = 0, bestLift = 0;
  for (int i = 0; i < 2; ++i) {
    const double candidate = -phi + (i == 0 ? spread : -spread);
    const double ex = kA2 * std::cos(candidate), ez = -kA2 * std::sin(candidate);
    const double lift = facing * (reach * ez - height * ex);
    if (i == 0 || (elbowDown ? lift < bestLift : lift > bestLift)) {
      best = candidate;
      bestLift = lift;
    }
  }
  q2 = best;
  const double c2 = std::cos(q2), s2 = std::sin(q2);
  const double fa = reach - kA2 * c2, fb = height + kA2 * s2;
  const double s23 = (kD4 * fa - kA3 * fb) / forearm2;
  const double c23 = (kA3 * fa + kD4 * fb) / forearm2;
  q2 = wrapToPi(q2);
  q3 = wrapToPi(std::atan2(s23, c23) - q2);
  return true;
}

bool solveBranch(const Pose& goal, int branch, double q4Hint, double q[6]) {
  double wrist[3];
  for (int i = 0; i < 3; ++i) wrist[i] = goal.p[i] - kToolLength * goal.R[i][2];
  double reach = 0;
  if (!solveBase(wrist[0], wrist[1], kLateral, branch & 1, q[0], reach)) return false;
  if (!solveArmPlane(reach, wrist[2], branch & 2, q[1], q[2])) return false;

  // Wrist: M = R3^T R = Rz(q4) Ry(q5) Rz(q6), a Z-Y-Z Euler set.
  double arm[3][3], M[3][3];
  armRotation(q[0], q[1] + q[2], arm);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      M[i][j] = arm[0][i] * goal.R[0][j] + arm[1][i] * goal.R[1][j] + arm[2][i] * goal.R[2][j];
  const double s5 = std::hypot(M[0][2], M[1][2]);
  if (s5 < 1e-6) {  // q5 within 0.0001 degrees of zero
    q[3] = q4Hint;
    q[4] = 0;
    q[5] = wrapToPi(std::atan2(M[1][0], M[0][0]) - q4Hint);
    return true;
  }
  const bool flip = branch & 4;
  q[4] = std::atan2(flip ? -s5 : s5, M[2][2]);
  const double sign = flip ? -1.0 : 1.0;
  q[3] = std::atan2(sign * M[1][2], sign * M[0][2]);
  q[5] = std::atan2(sign * M[2][1], -sign * M[2][0]);
  return true;
}

IkResult inverse(const Pose& goal, int branch, const IkContext& ctx, double q[6]) {
  return pickBranch(6, branch, 8, ctx, q,
                    [&](int b, double* raw) { return solveBranch(goal, b, ctx.qNow[3], raw); });
}

int armBranchOf(const double q[6]) {
  const Pose pose = forward(q);
  int best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (int b = 0; b < 4; ++b) {
    double raw[6];
    if (!solveBranch(pose, b, q[3], raw)) continue;
    double d = 0;
    for (int i = 0; i < 3; ++i) d += std::pow(wrapToPi(raw[i] - q[i]), 2);
    if (d < bestDistance) {
      bestDistance = d;
      best = b;
    }
  }
  return best;
}

IkResult inverseReduced(int dof, const double* x, int branch, const IkContext& ctx, double* q) {
  if (dof == 1) {
    const double raw[1] = {x[0]};
    return placeAllInLimits(1, raw, ctx, q) ? IkResult::kSolved : IkResult::kOutsideLimits;
  }
  if (dof == 3) {
    // Joints q2, q3, q5 in the x-z plane; the tool points along alpha.
    const double alpha = x[2];
    return pickBranch(3, branch < kNearestBranch ? (branch >> 1) & 1 : branch, 2, ctx, q,
                      [&](int b, double* raw) {
                        const double reach = x[0] - kToolLength * std::sin(alpha);
                        const double height = x[1] - kToolLength * std::cos(alpha);
                        if (!solveArmPlane(reach, height, b & 1, raw[0], raw[1])) return false;
                        raw[2] = wrapToPi(alpha - raw[0] - raw[1]);
                        return true;
                      });
  }
  // Four joints q1, q2, q3, q5: the base turns the vertical plane of the three others.
  const double alpha = x[3];
  const int planarBranch = branch < kNearestBranch ? branch & 3 : branch;
  return pickBranch(4, planarBranch, 4, ctx, q, [&](int b, double* raw) {
    double reach = 0;
    if (!solveBase(x[0], x[1], kLateral, b & 1, raw[0], reach)) return false;
    const double wristReach = reach - kToolLength * std::sin(alpha);
    const double height = x[2] - kToolLength * std::cos(alpha);
    if (!solveArmPlane(wristReach, height, b & 2, raw[1], raw[2])) return false;
    raw[3] = wrapToPi(alpha - raw[1] - raw[2]);
    return true;
  });
}

void forwardReduced(int dof, const double* q, double* x) {
  if (dof == 1) {
    x[0] = q[0];
    return;
  }
  double full[6] = {0, 0, 0, 0, 0, 0};
  if (dof == 3) {
    full[1] = q[0], full[2] = q[1], full[4] = q[2];
  } else {
    full[0] = q[0], full[1] = q[1], full[2] = q[2], full[4] = q[3];
  }
  const Pose pose = forward(full);
  const double alpha = full[1] + full[2] + full[4];
  if (dof == 3) {
    x[0] = pose.p[0], x[1] = pose.p[2], x[2] = alpha;
  } else {
    x[0] = pose.p[0], x[1] = pose.p[1], x[2] = pose.p[2], x[3] = alpha;
  }
}

}  // namespace ik
