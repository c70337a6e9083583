// The minimum-jerk (quintic) time scaling s(t) from 0 to 1 over a duration T,
// with zero speed and acceleration at both ends. Peak rates: ds/dt = 1.875 / T
// at mid-course, d2s/dt2 = 5.7735 / T^2 at t = T (1/2 -+ sqrt(3)/6).
#pragma once

struct QuinticSample {
  double s = 0;    // position along the path, 0 to 1
  double ds = 0;   // 1/s
  double dds = 0;  // 1/s^2
};

inline constexpr double kQuinticPeakSpeed = 1.875;
inline constexpr double kQuinticPeakAcceleration = 5.773502691896258;

// Shortest duration (s) that keeps a move of `distance` within the speed and
// acceleration limits; 0 for a null move.
double quinticDuration(double distance, double maxSpeed, double maxAcceleration);

QuinticSample quinticAt(double t, double duration);
