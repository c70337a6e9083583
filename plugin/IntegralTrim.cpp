#include "plugin/IntegralTrim.h"

#include <cmath>

void IntegralTrim::reset() {
  for (double& v : m_integral) v = 0;
}

void IntegralTrim::apply(int n, const double* error, const float* kp, const double* zone, double dt,
                         double* command) {
  for (int i = 0; i < n && i < kMaxEntries; ++i) {
    if (!(std::fabs(error[i]) < zone[i]) || !(dt > 0)) {
      m_integral[i] = 0;
      continue;
    }
    const double limit = zone[i];  // the trim never exceeds kp * zone
    m_integral[i] += error[i] * dt;
    const double ki = kTrimRate;
    m_integral[i] = std::fmax(-limit / ki, std::fmin(limit / ki, m_integral[i]));
    command[i] -= double(kp[i]) * ki * m_integral[i];
  }
}
