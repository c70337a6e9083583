#include "plugin/QuinticProfile.h"

#include <cmath>

double quinticDuration(double distance, double maxSpeed, double maxAcceleration) {
  distance = std::fabs(distance);
  if (distance <= 0) return 0;
  double duration = 0;
  if (maxSpeed > 0) duration = std::fmax(duration, kQuinticPeakSpeed * distance / maxSpeed);
  if (maxAcceleration > 0)
    duration = std::fmax(duration, std::sqrt(kQuinticPeakAcceleration * distance / maxAcceleration));
  return duration;
}

QuinticSample quinticAt(double t, double duration) {
  QuinticSample out;
  if (duration <= 0 || t >= duration) {
    out.s = 1;
    return out;
  }
  if (t <= 0) return out;
  const double u = t / duration;
  const double u2 = u * u, u3 = u2 * u;
  out.s = u3 * (10 - 15 * u + 6 * u2);
  out.ds = 30 * u2 * (1 - 2 * u + u2) / duration;
  out.dds = 60 * u * (1 - 3 * u + 2 * u2) / (duration * duration);
  return out;
}
