// UnpacedPacing: the servo without a wall clock, for deterministic runs.
//
// Every step of the arms is due at once (a clock that advances one period per
// reading, and the speed factor held at 1: simspeed has nothing to scale), and
// a tick runs only when a UI_ADVANCE request has granted it. Between grants
// the servo handles requests as they come and otherwise naps, briefly at
// first, so that a console waiting for its answer gets it within microseconds
// while an idle servo still costs next to nothing.
#pragma once

#include <chrono>

#include "libpuma/PacingClock.h"
#include "servo/ServoPacing.h"

class UnpacedPacing final : public ServoPacing {
 public:
  const PacingClock* clock() const override { return &m_clock; }
  float stepSpeed(float /*simSpeed*/) const override { return 1.0f; }
  bool ticksOnRequest() const override { return true; }
  void awaitRequest(bool handled) override;

 private:
  static constexpr std::chrono::microseconds kFirstNap{20};
  static constexpr std::chrono::microseconds kLongestNap{1000};

  SteppingClock m_clock;
  std::chrono::microseconds m_nap = kFirstNap;
};
