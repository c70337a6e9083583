// Integral trim for the final approach: Coulomb and static friction leave a
// PD law standing short of its goal by a dead band (tenths of a degree on this
// arm); integrating the error once it is small pushes through that band.
//
// Each entry integrates only while its error is inside its zone (and is reset
// when it leaves, so a large move never winds up), with gain ki = kTrimRate *
// kp, and the trim is clamped to kp times the zone: no more than the PD itself
// asks for at the edge of the zone.
#pragma once

class IntegralTrim {
 public:
  static constexpr int kMaxEntries = 6;
  static constexpr double kTrimRate = 2.0;  // 1/s  // 1/s  // 1/s  // 1/s

  void reset();
  // error = current - goal; adds -ki * integral to command (n entries).
  void apply(int n, const double* error, const float* kp, const double* zone, double dt, double* command);

 private:
  double m_integral[kMaxEntries] = {};
};
