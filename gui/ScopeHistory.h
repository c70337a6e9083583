// The window's record of the servo's recent ticks, for the scope: the
// samples drained from the servo's ring, oldest first, holding the longest
// time window the scope shows. Sized once; appending never allocates.
#pragma once

#include <vector>

#include "servo/ScopeSample.h"

class ScopeHistory {
 public:
  // A minute of ticks at 500 Hz, and a second to spare.
  static constexpr int kCapacity = 61 * 500;

  ScopeHistory() : m_samples(kCapacity) {}

  // The oldest sample goes when the history is full. A sample of another
  // shape (the robot type changed) or from an earlier time starts afresh.
  void append(const ScopeSample& sample);
  void clear() { m_count = 0; }

  int size() const { return m_count; }
  bool empty() const { return m_count == 0; }
  // i = 0 is the oldest.
  const ScopeSample& at(int i) const { return m_samples[(m_first + i) % kCapacity]; }
  const ScopeSample& latest() const { return at(m_count - 1); }
  // The first sample at or after time t (size() when none is).
  int firstAtOrAfter(float t) const;

 private:
  std::vector<ScopeSample> m_samples;
  int m_first = 0;
  int m_count = 0;
};
