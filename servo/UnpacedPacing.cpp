#include "servo/UnpacedPacing.h"

#include <thread>

void UnpacedPacing::awaitRequest(bool handled) {
  if (handled) {
    m_nap = kFirstNap;
    return;
  }
  std::this_thread::sleep_for(m_nap);
  // Back off while nothing comes: a console typing by hand is slow.
  if (m_nap < kLongestNap) m_nap *= 2;
}
