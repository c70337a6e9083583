// ServoPacing: how the servo loop spends the time between two ticks.
//
// The loop itself is the same in every mode (a request slot, the tick, the
// arm's step); the policy decides what clock the simulated arms pace against,
// what the loop does while a step is not yet due, and whether a tick has to be
// granted by the user interface first:
//   RealTimePacing  500 Hz against the monotonic wall clock (the program's servo);
//   UnpacedPacing   no wall clock at all: ticks run as fast as the processor
//                   allows, but only as many as UI_ADVANCE requests grant, so a
//                   run is a pure function of its requests (korvex --fast);
//   ClockPacing     an injected clock and no waiting (tests, benchmarks, tools
//                   that call the loop's parts by hand).
// All calls come from the servo thread.
#pragma once

class IRobotSimDriver;
class PacingClock;

class ServoPacing {
 public:
  virtual ~ServoPacing() = default;

  // The clock the simulated arms are created with (nullptr: the monotonic wall clock).
  virtual const PacingClock* clock() const = 0;
  // The speed factor handed to the arm's step() for the user's simspeed.
  virtual float stepSpeed(float simSpeed) const { return simSpeed; }
  // Called while the arm's step(speed) says the tick is not yet due, between
  // request slots: spend (some of) the time until it is.
  virtual void idleUntilDue(const IRobotSimDriver& /*arm*/, float /*speed*/) {}
  // Whether a tick runs only once a UI_ADVANCE request has granted it.
  virtual bool ticksOnRequest() const { return false; }
  // While waiting for a grant: handled says whether the last request slot
  // found a request; when it did not, wait a little for the next one.
  virtual void awaitRequest(bool /*handled*/) {}
};

// An injected clock (for example SteppingClock) and no waiting of its own.
class ClockPacing final : public ServoPacing {
 public:
  explicit ClockPacing(const PacingClock* clock) : m_clock(clock) {}
  const PacingClock* clock() const override { return m_clock; }

 private:
  const PacingClock* m_clock;
};
