// The servo's real-time pacing against the monotonic clock.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <time.h>

#include <thread>

#include "libpuma/CSimPuma.h"
#include "servo/RealTimePacing.h"

namespace {

std::int64_t monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// The thread that paces asks for exact wake-ups: the default timer slack
// would add up to 50 us to every tick's start. Other threads keep theirs.
TEST(RealTimePacing, WakesAtTheDueMillisecondWithTightTimerSlack) {
  auto arm = CSimPuma::create(500.0f, CSimPuma::kDefaultDescription, nullptr);
  ASSERT_TRUE(arm);
  const unsigned long otherSlack = unsigned(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0));
  unsigned long pacedSlack = 0;
  int early = 0;
  std::thread paced([&] {
    RealTimePacing pacing;
    for (int tick = 0; tick < 20; ++tick) {
      while (arm->step(1.0f) == 0) {
        const std::int64_t due = arm->dueClockReading(1.0f);
        const std::int64_t before = monotonicMs();
        pacing.idleUntilDue(*arm, 1.0f);
        // A due reading more than one sleep away is slept towards in parts.
        if (due - before < 2 && monotonicMs() < due) ++early;
      }
    }
    pacedSlack = unsigned(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0));
  });
  paced.join();
  EXPECT_EQ(pacedSlack, 1u);
  EXPECT_EQ(unsigned(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)), otherSlack);
  EXPECT_EQ(early, 0) << "woke before the due millisecond";
}

}  // namespace
