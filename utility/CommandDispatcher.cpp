#include "utility/CommandDispatcher.h"

#include <algorithm>
#include <chrono>
#include <thread>

void CommandDispatcher::pause(long ms) {
  using Clock = std::chrono::steady_clock;
  // The clock counts nanoseconds in 64 bits: "wait 9999999999999" must not overflow the deadline.
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::min(ms, kLongestPauseMs));
  // Short slices, so that a session end cuts the pause short instead of holding up shutdown.
  while (!sessionOver()) {
    const auto now = Clock::now();
    if (now >= deadline) return;
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(20)));
  }
}
