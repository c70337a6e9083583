#include "servo/RealTimePacing.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "libpuma/IRobotSimDriver.h"

namespace {

// Wake this long before a tick is due and poll from there; covers the
// scheduler's wake-up latency.
constexpr auto kWakeMargin = std::chrono::microseconds(150);
// Longest single sleep, so requests are still handled while a slow simulation
// speed stretches the period.
constexpr auto kMaxSleep = std::chrono::milliseconds(2);

}  // namespace

void RealTimePacing::idleUntilDue(const IRobotSimDriver& arm, float speed, std::int64_t stepClockMs) {
  // The arm's pacing returns 1 once the wall time since its last clock reading
  // covers the balance it still holds: balance + period / speed - period.
  const float period = arm.period();
  const double wait = double(arm.timeBalance()) + double(period / speed) - double(period);
  if (wait <= 0) return;
  // The pacing clock counts whole milliseconds, so the tick falls due on a
  // millisecond boundary of the same steady clock.
  using namespace std::chrono;
  const int64_t dueMs = stepClockMs + int64_t(std::ceil(wait * 1000.0 - 1e-3));
  const steady_clock::time_point due{duration_cast<steady_clock::duration>(milliseconds(dueMs))};
  const steady_clock::time_point now = steady_clock::now();
  steady_clock::time_point wake = due - kWakeMargin;
  if (wake - now > kMaxSleep) wake = now + kMaxSleep;
  if (wake > now) std::this_thread::sleep_until(wake);
}
