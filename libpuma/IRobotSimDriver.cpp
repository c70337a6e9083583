#include "libpuma/IRobotSimDriver.h"

#include <cmath>

namespace {
// Below this a speed factor would make one period last forever; the arm then
// simply stands still.
constexpr float kMinimumSpeed = 1e-10f;
// The simulation never owes the wall clock more than this (s), so after a pause
// it catches up for at most one second instead of racing through the pause.
constexpr float kMaximumDebt = -1.0f;
}  // namespace

IRobotSimDriver::IRobotSimDriver(float rate, const PacingClock* clock)
    : m_period(1.0f / rate), m_clock(clock != nullptr ? clock : &monotonicPacingClock()) {
  m_lastClock = m_clock->ticks();
}

std::int64_t IRobotSimDriver::dueClockReading(float speed) const {
  const float effectiveSpeed = speed > kMinimumSpeed ? speed : kMinimumSpeed;
  const float allowed = m_period / effectiveSpeed;
  // step() after k clock ticks: due unless balance + (allowed - k * tick) > period, in floats.
  const auto dueAfter = [&](std::int64_t k) {
    float balance = m_balance;
    balance += allowed - static_cast<float>(k) * m_secondsPerTick;
    return !(balance > m_period);
  };
  const double estimate = (double(m_balance) + double(allowed) - double(m_period)) / double(m_secondsPerTick);
  if (estimate <= 0) return m_lastClock;
  // Far off (a crawling speed): the estimate will do, the caller wakes before then anyway.
  if (estimate > 1e6) return m_lastClock + static_cast<std::int64_t>(estimate);
  std::int64_t k = static_cast<std::int64_t>(std::ceil(estimate));
  while (!dueAfter(k)) ++k;
  while (k > 0 && dueAfter(k - 1)) --k;
  return m_lastClock + k;
}

int IRobotSimDriver::step(float speed) {
  const float effectiveSpeed = speed > kMinimumSpeed ? speed : kMinimumSpeed;
  const std::int64_t now = m_clock->ticks();
  const float elapsed = static_cast<float>(now - m_lastClock) * m_secondsPerTick;
  m_lastClock = now;
  // Wall-clock time that one simulated period may take at this speed.
  const float allowed = m_period / effectiveSpeed;
  m_balance += allowed - elapsed;
  if (m_balance > m_period) {
    // Ahead of the wall clock: give the time back and let the caller retry.
    ++m_skippedSteps;
    m_balance -= allowed;
    return 0;
  }
  if (m_balance <= 1e-9f && m_balance < kMaximumDebt) m_balance = kMaximumDebt;
  // More than a period behind: this step only makes up time.
  if (m_balance < -m_period) ++m_madeUpSteps;
  return 1;
}

void IRobotSimDriver::restartPacing() {
  m_lastClock = m_clock->ticks();
  m_balance = 0.0f;
}
