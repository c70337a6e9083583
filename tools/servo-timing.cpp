// korvex-servo-timing: runs the real servo loop (control.dll from the working
// directory, the in-process queues) for a while and reports how evenly its
// ticks come, and how much processor time the servo thread takes.
//
//   korvex-servo-timing [seconds]      (default 30)
//
// Period figures are computed from the steady-clock time at the start of
// every tick; "deviation" is |period - 2 ms|. The CPU share is the servo
// thread's own processor time over the wall time of the run: the tick work
// plus whatever the wait between ticks costs.
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <thread>
#include <vector>

#include "app/ServoAgent.h"
#include "app/ServoThread.h"
#include "app/UiAgent.h"
#include "servo/Servo.h"
#include "servo/Session.h"
#include "utility/MesgQueue.h"

namespace {

double threadCpuSeconds(pthread_t thread) {
  clockid_t clock;
  timespec ts{};
  if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &ts) != 0) return -1;
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5));
  return values[index];
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
  if (!(seconds > 0.1)) {
    std::fprintf(stderr, "usage: korvex-servo-timing [seconds > 0.1]\n");
    return 2;
  }
  const int capacity = int(seconds * 500) + 2000;
  std::vector<int64_t> tickTimes(size_t(capacity), 0);

  auto uiAgent = std::make_unique<UiAgent>();
  auto servoAgent = std::make_unique<ServoAgent>();
  beginSession();
  int64_t ticks = 0;
  std::thread servoThread([&] {
    servoLoop(
        *uiAgent, [&](Servo& servo) { servo.recordTickTimes(tickTimes.data(), capacity); },
        [&](Servo& servo) { ticks = servo.recordedTickCount(); });
  });
  // Keep queue 0 drained as the console's listener would.
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = threadCpuSeconds(servoThread.native_handle());
  while (std::chrono::steady_clock::now() - start < std::chrono::duration<double>(seconds)) {
    while (servoAgent->hasMessage()) servoAgent->read();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const double cpuEnd = threadCpuSeconds(servoThread.native_handle());
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  endSession();
  servoThread.join();
  while (servoAgent->hasMessage()) servoAgent->read();
  servoAgent.reset();
  uiAgent.reset();
  MesgQueue::releaseAllCollections();

  // Skip the first second: start-up (robot set-up, first page faults) is not the steady loop.
  const int64_t first = std::min<int64_t>(500, ticks);
  std::vector<double> periods, deviations;
  for (int64_t i = first + 1; i < ticks && i < capacity; ++i) {
    const double period = double(tickTimes[size_t(i)] - tickTimes[size_t(i - 1)]) * 1e-6;  // ms
    periods.push_back(period);
    deviations.push_back(std::abs(period - 2.0));
  }
  std::printf("ticks: %lld in %.1f s (%.1f Hz)\n", (long long)ticks, wall, double(ticks) / wall);
  std::printf("period: median %.4f ms, p1 %.4f ms, p99 %.4f ms\n", percentile(periods, 0.5),
              percentile(periods, 0.01), percentile(periods, 0.99));
  std::printf("deviation from 2 ms: median %.4f ms, p99 %.4f ms, max %.4f ms\n", percentile(deviations, 0.5),
              percentile(deviations, 0.99), percentile(deviations, 1.0));
  std::vector<double> offsets;  // how long after its millisecond boundary each tick started
  for (int64_t i = first; i < ticks && i < capacity; ++i)
    offsets.push_back(double(tickTimes[size_t(i)] % 1000000) * 1e-3);
  std::printf("tick start after its millisecond boundary: median %.1f us, p99 %.1f us\n",
              percentile(offsets, 0.5), percentile(offsets, 0.99));
  if (std::getenv("KORVEX_TIMING_HISTOGRAM")) {
    std::map<int, int> histogram;  // periods in 0.1 ms bins
    for (double p : periods) ++histogram[int(p * 10 + 0.5)];
    for (auto [bin, count] : histogram) std::printf("  %.1f ms: %d\n", bin / 10.0, count);
  }
  std::printf("servo thread CPU share: %.1f %% of one core\n", 100.0 * (cpuEnd - cpuStart) / wall);
  return 0;
}
