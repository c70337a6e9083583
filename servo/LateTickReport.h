// LateTickReport: counts the ticks the servo had to make up after falling
// behind the wall clock, and says so on standard error at most once a second.
//
// A burst of made-up ticks (the process stopped for 300 ms makes up about 150
// in a row) is reported as one line once it is over, or after a second if it
// goes on: "Servo late: 150 ticks made up". The total stays readable from any
// thread. Nothing here allocates; the servo thread feeds it after every step.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>

class LateTickReport {
 public:
  static constexpr std::int64_t kReportPeriodMs = 1000;

  explicit LateTickReport(std::FILE* out = stderr) : m_out(out) {}

  // madeUp: ticks the last step made up; nowMs: a monotonic clock (ms).
  void onStep(int madeUp, std::int64_t nowMs) {
    if (madeUp > 0) {
      if (m_pending == 0) m_burstStartMs = nowMs;
      m_pending += madeUp;
      m_total.fetch_add(madeUp, std::memory_order_relaxed);
    }
    if (m_pending == 0) return;
    const bool burstOver = madeUp == 0 || nowMs - m_burstStartMs >= kReportPeriodMs;
    if (burstOver && (!m_reported || nowMs - m_lastReportMs >= kReportPeriodMs)) {
      std::fprintf(m_out, "Servo late: %lld ticks made up\n", static_cast<long long>(m_pending));
      m_pending = 0;
      m_reported = true;
      m_lastReportMs = nowMs;
    }
  }

  // Every tick made up since the servo started (any thread).
  long long total() const { return m_total.load(std::memory_order_relaxed); }

 private:
  std::FILE* m_out;
  std::atomic<long long> m_total{0};
  long long m_pending = 0;  // made up, not yet reported
  std::int64_t m_burstStartMs = 0;
  std::int64_t m_lastReportMs = 0;
  bool m_reported = false;
};
