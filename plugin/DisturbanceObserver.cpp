#include "plugin/DisturbanceObserver.h"

#include <cmath>

void DisturbanceObserver::reset() {
  m_dof = 0;
  m_primed = false;
  for (double& e : m_estimate) e = 0;
}

void DisturbanceObserver::idle() { reset(); }

void DisturbanceObserver::compensate(ServoState& s, double dt) {
  const int n = s.dof;
  if (n != m_dof || n > kMaxJoints || !(dt > 0)) {
    reset();
    m_dof = n > kMaxJoints ? 0 : n;
    if (m_dof == 0) return;
  }
  if (m_primed) {
    const double alpha = 1 - std::exp(-kCutoff * dt);
    const float* A = s.A.dataPtr();
    for (int i = 0; i < n; ++i) {
      double model = double(s.B[i]) + s.G[i];
      for (int k = 0; k < n; ++k) model += double(A[i * n + k]) * (s.dq[k] - m_lastDq[k]) / dt;
      const double measured = m_lastTau[i] - model;
      if (std::isfinite(measured)) m_estimate[i] += alpha * (measured - m_estimate[i]);
    }
  }
  for (int i = 0; i < n; ++i) {
    const double tau = double(s.tau[i]) + m_estimate[i];
    s.tau[i] = float(tau);
    // What the servo's torque limiting (on by default) lets through.
    const double limit = s.tauMax[i];
    m_lastTau[i] = limit > 0 ? std::fmax(-limit, std::fmin(limit, tau)) : tau;
    m_lastDq[i] = s.dq[i];
  }
  m_primed = true;
}
