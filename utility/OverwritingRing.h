// A bounded single-producer, single-consumer ring in which the producer never
// waits and never looks at the consumer: a full ring overwrites its oldest
// entry, and the consumer learns how many it missed. It suits a real-time
// thread that publishes a copy of its state each tick for a slower reader.
//
// Each slot is a sequence lock: the writer marks the slot odd while it
// copies, even (2 n + 2 for entry n) when done; the reader keeps an entry
// only when the slot shows the same even number before and after its copy.
// Every shared word is an atomic, so readers and writer never race.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename T, int Capacity>
class OverwritingRing {
  static_assert(std::is_trivially_copyable_v<T>, "entries are copied word by word");
  static_assert(Capacity > 0);
  static constexpr int kWords = static_cast<int>((sizeof(T) + 7) / 8);

 public:
  static constexpr int kCapacity = Capacity;

  // Producer thread only. No allocation, no lock, no wait.
  void push(const T& value) {
    const uint64_t n = m_written.load(std::memory_order_relaxed);
    Slot& slot = m_slots[n % Capacity];
    uint64_t words[kWords] = {};
    std::memcpy(words, &value, sizeof(T));
    slot.sequence.store(2 * n + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    for (int i = 0; i < kWords; ++i) slot.words[i].store(words[i], std::memory_order_relaxed);
    slot.sequence.store(2 * n + 2, std::memory_order_release);
    m_written.store(n + 1, std::memory_order_release);
  }

  // Consumer thread only: hands every entry written since the last call to
  // sink(const T&), oldest first, and returns how many were overwritten
  // before they could be read.
  template <typename Sink>
  uint64_t drain(Sink&& sink) {
    const uint64_t end = m_written.load(std::memory_order_acquire);
    uint64_t lost = 0;
    if (end - m_read > static_cast<uint64_t>(Capacity)) {
      lost = end - Capacity - m_read;
      m_read = end - Capacity;
    }
    for (; m_read < end; ++m_read) {
      const Slot& slot = m_slots[m_read % Capacity];
      const uint64_t expected = 2 * m_read + 2;
      if (slot.sequence.load(std::memory_order_acquire) != expected) {
        ++lost;  // already overwritten again
        continue;
      }
      uint64_t words[kWords];
      for (int i = 0; i < kWords; ++i) words[i] = slot.words[i].load(std::memory_order_relaxed);
      std::atomic_thread_fence(std::memory_order_acquire);
      if (slot.sequence.load(std::memory_order_relaxed) != expected) {
        ++lost;  // overwritten while being copied
        continue;
      }
      T value;
      std::memcpy(&value, words, sizeof(T));
      sink(value);
    }
    return lost;
  }

  // Entries pushed so far (any thread).
  uint64_t written() const { return m_written.load(std::memory_order_acquire); }

 private:
  struct Slot {
    std::atomic<uint64_t> sequence{0};
    std::array<std::atomic<uint64_t>, kWords> words{};
  };
  std::array<Slot, Capacity> m_slots{};
  alignas(64) std::atomic<uint64_t> m_written{0};
  alignas(64) uint64_t m_read = 0;  // consumer's own
};
