#include "plugin/RepulsivePotentials.h"

#include <cmath>
#include <limits>

namespace {

// Closest approach used in the formula, as a fraction of the range.
constexpr double kMinimumFraction = 0.05;
// Damping (1/s) of the approach towards a joint limit inside its range.
constexpr double kLimitDamping = 20.0;
constexpr int kMaxJoints = 6;

}  // namespace

double repulsion(double rho, double rho0, double eta) {
  if (rho0 <= 0 || rho >= rho0) return 0;
  rho = std::fmax(rho, kMinimumFraction * rho0);
  return eta * (1 / rho - 1 / rho0) / (rho * rho);
}

void obstacleRepulsion(const ServoState& s, const double p[3], double out[3]) {
  out[0] = out[1] = out[2] = 0;
  for (int k = 0; k < s.numObstacles && k < kMaxObstacles; ++k) {
    const Obstacle& o = s.obstacles[k];
    double d[3];
    for (int i = 0; i < 3; ++i) d[i] = p[i] - o.center[i];
    const double centre = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (centre <= 1e-9) continue;  // no defined direction at the very centre
    const double push = repulsion(centre - o.radius, s.rho0, s.eta);
    for (int i = 0; i < 3; ++i) out[i] += push * d[i] / centre;
  }
}

double nearestObstacleDistance(const ServoState& s, const double p[3]) {
  double best = std::numeric_limits<double>::infinity();
  for (int k = 0; k < s.numObstacles && k < kMaxObstacles; ++k) {
    const Obstacle& o = s.obstacles[k];
    double d2 = 0;
    for (int i = 0; i < 3; ++i) d2 += (p[i] - o.center[i]) * (p[i] - o.center[i]);
    best = std::fmin(best, std::sqrt(d2) - o.radius);
  }
  return best;
}

void addJointLimitTorques(ServoState& s) {
  if (!s.jlimit) return;
  const int n = s.dof;
  if (n > kMaxJoints) return;
  double acceleration[kMaxJoints] = {};
  bool any = false;
  for (int i = 0; i < n; ++i) {
    const double range = s.q0[i];
    const double toLower = double(s.q[i]) - s.qmin[i];
    const double toUpper = double(s.qmax[i]) - s.q[i];
    if (toLower < range) {
      acceleration[i] += repulsion(toLower, range, s.kj[i]);
      if (s.dq[i] < 0) acceleration[i] -= kLimitDamping * s.dq[i];
    }
    if (toUpper < range) {
      acceleration[i] -= repulsion(toUpper, range, s.kj[i]);
      if (s.dq[i] > 0) acceleration[i] -= kLimitDamping * s.dq[i];
    }
    any = any || acceleration[i] != 0;
  }
  if (!any) return;
  // tau = A a: the push accelerates only the joint near its limit; through
  // the diagonal of A alone it would shake the other joints off their goals.
  const float* A = s.A.dataPtr();
  for (int i = 0; i < n; ++i) {
    double torque = 0;
    for (int k = 0; k < n; ++k) torque += double(A[i * n + k]) * acceleration[k];
    s.tau[i] += float(torque);
  }
}
