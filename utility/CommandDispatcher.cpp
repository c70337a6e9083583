#include "utility/CommandDispatcher.h"

#include <algorithm>
#include <chrono>
#include <thread>

void CommandDispatcher::pause(long ms) {
  using Clock = std::chrono::steady_clock;
  // The clock counts nanoseconds in 64 bits: a pause of more than a day is cut
  // to one, so that "wait 9999999999999" cannot overflow the deadline.
  constexpr long kLongestPause = 24L * 3600 * 1000;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::min(ms, kLongestPause));
  // Short slices, so that a session end cuts the pause short instead of holding up shutdown.
  while (!sessionOver()) {
    const auto now = Clock::now();
    if (now >= deadline) return;
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(20)));
  }
}
