#include "libpuma/PacingClock.h"

#include <chrono>

namespace {
class SteadyMillisecondClock final : public PacingClock {
 public:
  std::int64_t ticks() const override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
};
}  // namespace

const PacingClock& monotonicPacingClock() {
  static const SteadyMillisecondClock clock;
  return clock;
}
