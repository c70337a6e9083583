// One writer thread and one reader thread push millions of messages of random
// sizes through one queue. The reader checks that every message arrives once,
// in order, with the size and the content checksum the writer gave it. The
// ring fills up now and then, so refused writes (retried) are exercised too.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "utility/MesgQueue.h"

namespace {

constexpr int kMessages = 2'000'000;

uint32_t mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

// Mostly small messages, now and then a large one, like replies and rows.
int sizeOf(uint32_t seq) {
  const uint32_t r = mix(seq * 2654435761U);
  return (r & 31) == 0 ? 12 + static_cast<int>(r >> 8) % (MAX_MSG_SIZE - 12 + 1) : 12 + (r >> 8) % 180;
}

uint32_t checksum(const unsigned char* bytes, int n) {
  uint32_t sum = 2166136261U;
  for (int i = 0; i < n; ++i) sum = (sum ^ bytes[i]) * 16777619U;
  return sum;
}

void putU32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

TEST(MesgQueueStress, OneWriterOneReaderNoLossNoReorderNoCorruption) {
  MesgQueue queue(5);
  std::atomic<bool> failed{false};
  long long retries = 0;

  testing::internal::CaptureStderr();  // one line per full-ring burst
  std::thread writer([&] {
    unsigned char bytes[MAX_MSG_SIZE];
    for (uint32_t seq = 0; seq < kMessages && !failed.load(std::memory_order_relaxed); ++seq) {
      const int size = sizeOf(seq);
      bytes[0] = static_cast<unsigned char>(size >> 8);
      bytes[1] = static_cast<unsigned char>(size);
      bytes[2] = 0;
      bytes[3] = static_cast<unsigned char>(seq % SERVO_MSG_TYPE_COUNT);
      putU32(bytes + 4, seq);
      uint32_t fill = mix(seq);
      for (int i = 12; i < size; ++i) {
        fill = fill * 1664525U + 1013904223U;
        bytes[i] = static_cast<unsigned char>(fill >> 24);
      }
      putU32(bytes + 8, checksum(bytes + 12, size - 12));
      while (!queue.WriteBytes(reinterpret_cast<const char*>(bytes), size)) {
        ++retries;
        std::this_thread::yield();
      }
    }
  });

  std::string problem;
  for (uint32_t expected = 0; expected < kMessages && problem.empty();) {
    if (!queue.hasData()) {
      std::this_thread::yield();
      continue;
    }
    CMappedMsg m = queue.read();
    const auto* body = reinterpret_cast<const unsigned char*>(m.data());
    const uint32_t seq = static_cast<uint32_t>(m.readInt());
    const uint32_t sum = static_cast<uint32_t>(m.readInt());
    if (seq != expected) {
      problem = "got message " + std::to_string(seq) + " instead of " + std::to_string(expected);
    } else if (m.length() != sizeOf(seq) || m.getType() != static_cast<int>(seq % SERVO_MSG_TYPE_COUNT)) {
      problem = "wrong header on message " + std::to_string(seq);
    } else if (checksum(body + 12, m.length() - 12) != sum) {
      problem = "corrupted content in message " + std::to_string(seq);
    }
    ++expected;
  }
  if (!problem.empty()) failed = true;
  writer.join();
  testing::internal::GetCapturedStderr();

  EXPECT_EQ(problem, "");
  EXPECT_FALSE(queue.hasData());
  EXPECT_EQ(queue.refusedWrites(), retries);
  RecordProperty("refused_writes", std::to_string(retries));
}

}  // namespace
