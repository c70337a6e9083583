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
//
// Before and after, a bare thread that only sleeps to 2 ms deadlines, with
// the same timer slack, runs half as long (at most 5 s each): what this machine gives
// any paced thread, which the servo cannot beat. Beside both stands the share
// of processor time the hypervisor took from this machine meanwhile (steal),
// which says whether the machine was quiet.
#include <pthread.h>
#include <sys/prctl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
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

// Processor time stolen by the hypervisor and the total, from /proc/stat's
// first line, in clock ticks; zeros where the file is missing.
struct CpuTimes {
  long long steal = 0, total = 0;
};

CpuTimes readCpuTimes() {
  std::ifstream stat("/proc/stat");
  std::string label;
  CpuTimes times;
  if (!(stat >> label) || label != "cpu") return times;
  long long value = 0;
  for (int field = 0; field < 8 && stat >> value; ++field) {  // user … steal; guest is inside user
    times.total += value;
    if (field == 7) times.steal = value;
  }
  return times;
}

double stealPercent(const CpuTimes& before, const CpuTimes& after) {
  const long long total = after.total - before.total;
  return total > 0 ? 100.0 * double(after.steal - before.steal) / double(total) : 0.0;
}

int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Wake-up times of a thread that sleeps to absolute 2 ms deadlines on
// millisecond boundaries and does nothing else, as the servo's pacing does.
std::vector<int64_t> bareSleepTickTimes(int count, double& cpuShare) {
  std::vector<int64_t> times;
  times.reserve(size_t(count));
  std::thread sleeper([&] {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    const auto start = std::chrono::steady_clock::now();
    int64_t due = (monotonicNs() / 1'000'000 + 2) * 1'000'000;
    for (int i = 0; i < count; ++i, due += 2'000'000) {
      const timespec deadline{time_t(due / 1'000'000'000), long(due % 1'000'000'000)};
      while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
      }
      times.push_back(monotonicNs());
    }
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpuShare = (double(cpu.tv_sec) + double(cpu.tv_nsec) * 1e-9) / wall;
  });
  sleeper.join();
  return times;
}

// Period and deviation figures of tick start times [first, end).
void printPeriods(const char* what, const std::vector<int64_t>& times, size_t first, size_t end) {
  std::vector<double> periods, deviations;
  for (size_t i = first + 1; i < end; ++i) {
    const double period = double(times[i] - times[i - 1]) * 1e-6;  // ms
    periods.push_back(period);
    deviations.push_back(std::abs(period - 2.0));
  }
  std::printf("%s period: median %.4f ms, p1 %.4f ms, p99 %.4f ms\n", what, percentile(periods, 0.5),
              percentile(periods, 0.01), percentile(periods, 0.99));
  std::printf("%s deviation from 2 ms: median %.4f ms, p99 %.4f ms, max %.4f ms\n", what,
              percentile(deviations, 0.5), percentile(deviations, 0.99), percentile(deviations, 1.0));
}

void printBareSleep(const char* when, int count) {
  const CpuTimes start = readCpuTimes();
  double cpuShare = 0;
  const std::vector<int64_t> times = bareSleepTickTimes(count, cpuShare);
  const CpuTimes end = readCpuTimes();
  std::printf("bare sleep to 2 ms deadlines %s the servo, %d wake-ups (this machine's floor):\n", when,
              count);
  printPeriods("  bare", times, 0, times.size());
  std::printf(
      "  bare thread CPU share: %.1f %% of one core; time stolen by the hypervisor meanwhile: %.2f %%\n",
      100.0 * cpuShare, stealPercent(start, end));
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

  // The machine's floor before and after the servo's run: a shared machine's
  // quiet spells come and go, and the two show how much.
  const int bareTicks = int(std::min(seconds, 10.0) * 250);
  printBareSleep("before", bareTicks);

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
  const CpuTimes servoStart = readCpuTimes();
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

  const CpuTimes servoEnd = readCpuTimes();

  // Skip the first second: start-up (robot set-up, first page faults) is not the steady loop.
  const size_t first = size_t(std::min<int64_t>(500, ticks));
  const size_t end = size_t(std::min<int64_t>(ticks, capacity));
  std::printf("ticks: %lld in %.1f s (%.1f Hz)\n", (long long)ticks, wall, double(ticks) / wall);
  printPeriods("servo", tickTimes, first, end);
  std::vector<double> offsets;  // how long after its millisecond boundary each tick started
  for (size_t i = first; i < end; ++i) offsets.push_back(double(tickTimes[i] % 1000000) * 1e-3);
  std::printf("tick start after its millisecond boundary: median %.1f us, p99 %.1f us\n",
              percentile(offsets, 0.5), percentile(offsets, 0.99));
  if (std::getenv("KORVEX_TIMING_HISTOGRAM")) {
    std::map<int, int> histogram;  // periods in 0.1 ms bins
    for (size_t i = first + 1; i < end; ++i)
      ++histogram[int(double(tickTimes[i] - tickTimes[i - 1]) * 1e-5 + 0.5)];
    for (auto [bin, count] : histogram) std::printf("  %.1f ms: %d\n", bin / 10.0, count);
  }
  std::printf("servo thread CPU share: %.1f %% of one core\n", 100.0 * (cpuEnd - cpuStart) / wall);
  std::printf("time stolen by the hypervisor meanwhile: %.2f %%\n", stealPercent(servoStart, servoEnd));

  printBareSleep("after", bareTicks);
  return 0;
}
