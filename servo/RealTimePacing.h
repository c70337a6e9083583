// RealTimePacing: the servo at 500 Hz against the monotonic wall clock.
//
// While a tick is not yet due the servo thread sleeps (clock_nanosleep to an
// absolute deadline on the monotonic clock) until the millisecond at which the
// arm's step() will find it due; requests are handled between such sleeps.
#pragma once

#include "servo/ServoPacing.h"

class RealTimePacing final : public ServoPacing {
 public:
  const PacingClock* clock() const override { return nullptr; }
  void idleUntilDue(const IRobotSimDriver& arm, float speed) override;
};
