// The ring that carries the servo's scope samples: order, overwriting when
// the reader falls behind, and whole entries under a concurrent writer.
#include "utility/OverwritingRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Words that must all agree: a torn copy would mix two entries.
struct Entry {
  uint64_t n;
  uint32_t copies[13];
};

Entry entry(uint64_t n) {
  Entry e{n, {}};
  for (auto& c : e.copies) c = static_cast<uint32_t>(n * 2654435761u);
  return e;
}

bool whole(const Entry& e) {
  for (auto c : e.copies)
    if (c != static_cast<uint32_t>(e.n * 2654435761u)) return false;
  return true;
}

using Ring = OverwritingRing<Entry, 8>;

TEST(OverwritingRing, HandsOverInOrderAndCountsWhatWasOverwritten) {
  auto ring = std::make_unique<Ring>();
  std::vector<uint64_t> seen;
  auto sink = [&](const Entry& e) { seen.push_back(e.n); };
  EXPECT_EQ(ring->drain(sink), 0u);
  for (uint64_t n = 0; n < 5; ++n) ring->push(entry(n));
  EXPECT_EQ(ring->drain(sink), 0u);
  EXPECT_EQ(seen, (std::vector<uint64_t>{0, 1, 2, 3, 4}));

  // The reader falls behind: the writer goes on, the oldest go.
  seen.clear();
  for (uint64_t n = 5; n < 25; ++n) ring->push(entry(n));
  EXPECT_EQ(ring->drain(sink), 12u);
  EXPECT_EQ(seen, (std::vector<uint64_t>{17, 18, 19, 20, 21, 22, 23, 24}));
  EXPECT_EQ(ring->written(), 25u);
  seen.clear();
  EXPECT_EQ(ring->drain(sink), 0u);
  EXPECT_TRUE(seen.empty());
}

TEST(OverwritingRing, AConcurrentReaderGetsWholeEntriesInOrder) {
  auto ring = std::make_unique<OverwritingRing<Entry, 64>>();
  constexpr uint64_t kCount = 200000;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (uint64_t n = 0; n < kCount; ++n) ring->push(entry(n));
    done = true;
  });
  uint64_t received = 0, lost = 0, last = 0;
  bool inOrder = true, allWhole = true;
  auto sink = [&](const Entry& e) {
    if (received > 0 && e.n <= last) inOrder = false;
    if (!whole(e)) allWhole = false;
    last = e.n;
    ++received;
  };
  while (!done) lost += ring->drain(sink);
  writer.join();
  lost += ring->drain(sink);
  EXPECT_TRUE(inOrder);
  EXPECT_TRUE(allWhole);
  EXPECT_EQ(received + lost, kCount);
  EXPECT_EQ(last, kCount - 1);
}

}  // namespace
