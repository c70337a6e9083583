// PacingClock: the wall clock that paces a simulated arm against real time.
//
// The default reads a monotonic clock in milliseconds, so pacing is immune to
// wall-clock adjustments and to the process's CPU load. Tests inject their own
// clock to drive the pacing deterministically.
#pragma once

#include <cstdint>

class PacingClock {
 public:
  virtual ~PacingClock() = default;
  // Current reading in ticks of 1 ms; only differences are meaningful.
  virtual std::int64_t ticks() const = 0;
};

// The process-wide monotonic millisecond clock.
const PacingClock& monotonicPacingClock();
