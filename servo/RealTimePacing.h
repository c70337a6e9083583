// RealTimePacing: the servo at 500 Hz against the monotonic wall clock.
//
// While a tick is not yet due the servo thread sleeps until shortly before it
// is, then polls the arm's step() (handling requests) until it is.
#pragma once

#include "servo/ServoPacing.h"

class RealTimePacing final : public ServoPacing {
 public:
  const PacingClock* clock() const override { return nullptr; }
  void idleUntilDue(const IRobotSimDriver& arm, float speed, std::int64_t stepClockMs) override;
};
