#include "plugin/VelocitySaturation.h"

#include <cmath>

namespace {

double ratio(float kp, float kv) { return kv > 0 ? double(kp) / kv : 0.0; }

}  // namespace

void limitGroupLength(double* v, const int* indices, int count, double limit) {
  double length2 = 0;
  for (int i = 0; i < count; ++i) length2 += v[indices[i]] * v[indices[i]];
  const double length = std::sqrt(length2);
  if (limit < 0 || length <= limit || length <= 0) return;
  const double scale = limit / length;
  for (int i = 0; i < count; ++i) v[indices[i]] *= scale;
}

void saturatedJointCommand(int n, const double* error, const float* dq, const float* kp, const float* kv,
                           const float* dqmax, double* out) {
  double desired[kMaxTask];
  double nu = 1;
  for (int i = 0; i < n; ++i) {
    desired[i] = -ratio(kp[i], kv[i]) * error[i];
    const double speed = std::fabs(desired[i]);
    if (speed > dqmax[i] && speed > 0) nu = std::fmin(nu, dqmax[i] / speed);
  }
  for (int i = 0; i < n; ++i) out[i] = -double(kv[i]) * (dq[i] - nu * desired[i]);
}

void saturatedTaskVelocity(const TaskLayout& layout, const double* error, const float* kp, const float* kv,
                           double vmax, double wmax, double* velocity) {
  for (int i = 0; i < layout.r; ++i) velocity[i] = -ratio(kp[i], kv[i]) * error[i];
  limitGroupLength(velocity, layout.pos, layout.nPos, vmax);
  limitGroupLength(velocity, layout.ori, layout.nOri, wmax);
}

void saturatedTaskCommand(const TaskLayout& layout, const double* error, const float* dx, const float* kp,
                          const float* kv, double vmax, double wmax, double* out) {
  double desired[kMaxTask];
  saturatedTaskVelocity(layout, error, kp, kv, vmax, wmax, desired);
  for (int i = 0; i < layout.r; ++i) out[i] = -double(kv[i]) * (dx[i] - desired[i]);
}
