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

// Advances one servo period (2 ms) per reading, so every step of an arm paced
// by it is due at once: ticks run as fast as they are called (benchmarks,
// tests, tools and fuzzing that drive the servo by hand).
class SteppingClock final : public PacingClock {
 public:
  std::int64_t ticks() const override { return m_now += 2; }

 private:
  mutable std::int64_t m_now = 0;
};

// The process-wide monotonic millisecond clock.
const PacingClock& monotonicPacingClock();
