// A straight joint-space move from a start to a goal configuration with the
// quintic time scaling, stretched so that every joint respects its speed and
// acceleration limit and all joints arrive together.
#pragma once

struct QuinticSample;

class JointTrajectory {
 public:
  static constexpr int kMaxJoints = 6;

  // All arrays hold n entries: angles (rad), limits (rad/s, rad/s^2).
  void plan(int n, const float* start, const float* goal, const float* dqmax, const float* ddqmax);

  // Reference at time t (s) since the start of the move.
  void sample(double t, float* q, float* dq, float* ddq) const;

  double duration() const { return m_duration; }
  int joints() const { return m_n; }

 private:
  int m_n = 0;
  double m_duration = 0;
  double m_start[kMaxJoints] = {};
  double m_delta[kMaxJoints] = {};
};
