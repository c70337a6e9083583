#include "plugin/JointTrajectory.h"

#include <cmath>

#include "plugin/QuinticProfile.h"
#include "utility/PrAssert.h"

void JointTrajectory::plan(int n, const float* start, const float* goal, const float* dqmax,
                           const float* ddqmax) {
  PR_ASSERT(n >= 0 && n <= kMaxJoints);
  m_n = n;
  m_duration = 0;
  for (int i = 0; i < n; ++i) {
    m_start[i] = start[i];
    m_delta[i] = double(goal[i]) - start[i];
    // The slowest joint sets the pace; the others follow the same s(t).
    m_duration = std::fmax(m_duration, quinticDuration(m_delta[i], dqmax[i], ddqmax[i]));
  }
}

void JointTrajectory::sample(double t, float* q, float* dq, float* ddq) const {
  const QuinticSample s = quinticAt(t, m_duration);
  for (int i = 0; i < m_n; ++i) {
    q[i] = float(m_start[i] + s.s * m_delta[i]);
    dq[i] = float(s.ds * m_delta[i]);
    ddq[i] = float(s.dds * m_delta[i]);
  }
}
