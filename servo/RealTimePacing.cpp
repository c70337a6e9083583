#include "servo/RealTimePacing.h"

#include <sys/prctl.h>
#include <time.h>

#include <cerrno>

#include "libpuma/IRobotSimDriver.h"

namespace {

// Longest single sleep, so requests are still handled while a slow simulation
// speed stretches the period.
constexpr std::int64_t kMaxSleepNs = 2'000'000;

std::int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Sleeps until the monotonic clock reads deadlineNs. An absolute deadline does
// not drift by the time spent getting here, and a signal only resumes the wait.
void sleepUntil(std::int64_t deadlineNs) {
  timespec deadline{};
  deadline.tv_sec = time_t(deadlineNs / 1'000'000'000);
  deadline.tv_nsec = long(deadlineNs % 1'000'000'000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

// A thread's timer slack (50 us by default) lets the kernel defer its wake-up
// to batch it with others: on the servo thread that is up to 50 us of lateness
// on every tick. One nanosecond asks for the deadline as it is.
bool tightenTimerSlack() { return prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0; }

}  // namespace

void RealTimePacing::idleUntilDue(const IRobotSimDriver& arm, float speed) {
  // Once per thread that paces, which is the servo thread.
  thread_local const bool slackTightened = tightenTimerSlack();
  (void)slackTightened;
  // The arm paces against the monotonic clock in whole milliseconds, so the
  // tick falls due on a millisecond boundary: sleep to exactly that boundary
  // rather than wake early and poll, which would cost a spinning core.
  const std::int64_t dueNs = arm.dueClockReading(speed) * 1'000'000;
  const std::int64_t now = monotonicNs();
  if (dueNs <= now) return;
  sleepUntil(dueNs - now > kMaxSleepNs ? now + kMaxSleepNs : dueNs);
}
