#include "gui/ScopeHistory.h"

void ScopeHistory::append(const ScopeSample& sample) {
  if (m_count > 0) {
    const ScopeSample& last = latest();
    if (sample.dof != last.dof || sample.config != last.config || sample.rate != last.rate ||
        sample.time < last.time)
      m_count = 0;
  }
  if (m_count == kCapacity) {
    m_samples[m_first] = sample;
    m_first = (m_first + 1) % kCapacity;
  } else {
    m_samples[(m_first + m_count) % kCapacity] = sample;
    ++m_count;
  }
}

int ScopeHistory::firstAtOrAfter(float t) const {
  int low = 0, high = m_count;
  while (low < high) {
    const int middle = (low + high) / 2;
    if (at(middle).time < t)
      low = middle + 1;
    else
      high = middle;
  }
  return low;
}
