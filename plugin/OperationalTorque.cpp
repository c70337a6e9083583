#include "plugin/OperationalTorque.h"

#include "plugin/CholeskySolve.h"
#include "plugin/TaskSpace.h"

namespace {

// Damping, relative to the mean diagonal of J A^-1 J^T, used near singularities.
constexpr double kRelativeDamping = 1e-3;

void addTransposedJacobianTimes(ServoState& s, const double* f) {
  const int n = s.dof, r = s.J.row();
  const float* J = s.J.dataPtr();
  for (int j = 0; j < n; ++j) {
    double sum = 0;
    for (int i = 0; i < r; ++i) sum += double(J[i * n + j]) * f[i];
    s.tau[j] += float(sum);
  }
}

// Damped inverse of J A^-1 J^T; false when A is not positive definite.
bool dampedLambda(const ServoState& s, double* lambda) {
  const int n = s.dof, r = s.J.row();
  double a[kMaxTask * kMaxTask];
  for (int i = 0; i < n * n; ++i) a[i] = s.A.dataPtr()[i];
  if (!choleskyFactor(n, a)) return false;
  // Columns of A^-1 J^T, then M = J A^-1 J^T.
  double ainvJt[kMaxTask][kMaxTask];
  const float* J = s.J.dataPtr();
  for (int c = 0; c < r; ++c) {
    for (int i = 0; i < n; ++i) ainvJt[c][i] = J[c * n + i];
    choleskySubstitute(n, a, ainvJt[c]);
  }
  double m[kMaxTask * kMaxTask];
  double trace = 0;
  for (int i = 0; i < r; ++i)
    for (int c = 0; c < r; ++c) {
      double sum = 0;
      for (int k = 0; k < n; ++k) sum += double(J[i * n + k]) * ainvJt[c][k];
      m[i * r + c] = sum;
      if (i == c) trace += sum;
    }
  const double damping = kRelativeDamping * trace / r + 1e-9;
  for (int i = 0; i < r; ++i) m[i * r + i] += damping;
  if (!choleskyFactor(r, m)) return false;
  for (int c = 0; c < r; ++c) {
    double column[kMaxTask] = {};
    column[c] = 1;
    choleskySubstitute(r, m, column);
    for (int i = 0; i < r; ++i) lambda[i * r + c] = column[i];
  }
  return true;
}

}  // namespace

void effectiveLambda(const ServoState& s, double* out) {
  const int r = s.J.row();
  if (s.singular == 0 || !dampedLambda(s, out))
    for (int i = 0; i < r * r; ++i) out[i] = s.Lambda.dataPtr()[i];
}

void decoupledTorque(ServoState& s, const double* commandAcceleration) {
  const int r = s.J.row();
  double lambda[kMaxTask * kMaxTask];
  effectiveLambda(s, lambda);
  double f[kMaxTask];
  for (int i = 0; i < r; ++i) {
    double sum = 0;
    for (int k = 0; k < r; ++k) sum += lambda[i * r + k] * commandAcceleration[k];
    f[i] = sum;
  }
  if (s.singular == 0) {
    for (int i = 0; i < r; ++i) f[i] += double(s.mu[i]) + s.p[i];
    addTransposedJacobianTimes(s, f);
    return;
  }
  addTransposedJacobianTimes(s, f);
  for (int j = 0; j < s.dof; ++j) s.tau[j] += s.B[j] + s.G[j];
}

void gravityCompensatedTorque(ServoState& s, const double* force) {
  addTransposedJacobianTimes(s, force);
  for (int j = 0; j < s.dof; ++j) s.tau[j] += s.G[j];
}

void decoupledJointTorque(ServoState& s, const double* commandAcceleration) {
  const int n = s.dof;
  const float* A = s.A.dataPtr();
  for (int i = 0; i < n; ++i) {
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += double(A[i * n + k]) * commandAcceleration[k];
    s.tau[i] += float(sum) + s.B[i] + s.G[i];
  }
}

void gravityCompensatedJointTorque(ServoState& s, const double* torque) {
  for (int i = 0; i < s.dof; ++i) s.tau[i] += float(torque[i]) + s.G[i];
}
