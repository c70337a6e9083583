#include "plugin/OperationalTrajectory.h"

#include <cmath>

#include "plugin/QuinticProfile.h"

void OperationalTrajectory::plan(const TaskLayout& layout, const TaskGoal& start, const TaskGoal& goal,
                                 double vmax, double amax, double wmax) {
  m_layout = layout;
  m_start = start;
  m_goal = goal;
  double distance2 = 0;
  if (layout.frames) {
    for (int i = 0; i < 3; ++i) {
      const double d = double(goal.frame.translation[i]) - start.frame.translation[i];
      distance2 += d * d;
    }
    // The rotation from start to goal, as the error of the start against the goal.
    double error[6];
    frameError(start.frame, goal.frame, error);
    m_angle = std::sqrt(error[3] * error[3] + error[4] * error[4] + error[5] * error[5]);
    for (int i = 0; i < 3; ++i) m_axis[i] = m_angle > 1e-12 ? -error[3 + i] / m_angle : (i == 0);
  } else {
    for (int k = 0; k < layout.nPos; ++k) {
      const double d = double(goal.config[layout.pos[k]]) - start.config[layout.pos[k]];
      distance2 += d * d;
    }
    double angle2 = 0;
    for (int k = 0; k < layout.nOri; ++k) {
      const double d = double(goal.config[layout.ori[k]]) - start.config[layout.ori[k]];
      angle2 += d * d;
    }
    m_angle = std::sqrt(angle2);
  }
  const double angularAcceleration = vmax > 0 ? wmax * amax / vmax : 0;
  m_duration = std::fmax(quinticDuration(std::sqrt(distance2), vmax, amax),
                         quinticDuration(m_angle, wmax, angularAcceleration));
}

void OperationalTrajectory::sample(double t, TaskReference& out) const {
  const QuinticSample s = quinticAt(t, m_duration);
  if (m_layout.frames) {
    for (int i = 0; i < 3; ++i) {
      const double d = double(m_goal.frame.translation[i]) - m_start.frame.translation[i];
      out.pose.frame.translation[i] = float(m_start.frame.translation[i] + s.s * d);
      out.velocity[i] = s.ds * d;
      out.acceleration[i] = s.dds * d;
      out.velocity[3 + i] = s.ds * m_angle * m_axis[i];
      out.acceleration[3 + i] = s.dds * m_angle * m_axis[i];
    }
    out.pose.frame.rotation = slerp(m_start.frame.rotation, m_goal.frame.rotation, s.s);
    return;
  }
  for (int i = 0; i < m_layout.r; ++i) {
    const double d = double(m_goal.config[i]) - m_start.config[i];
    out.pose.config[i] = float(m_start.config[i] + s.s * d);
    out.velocity[i] = s.ds * d;
    out.acceleration[i] = s.dds * d;
  }
}
