// In-process message queue: a byte ring into which whole encoded messages are
// copied back to back. Messages are copied once on the way in and handed out
// as CMappedMsg records laid over the ring's bytes, never copied out.
//
// Each message starts with its 16-bit length; 0xFFFF where the next message
// would start is the wrap marker (the next message starts at 0), so a message
// never straddles the end of the ring.
//
// Threads: exactly one writer and one reader at a time (single producer,
// single consumer). The writer publishes the write index with release
// ordering after the bytes are in place, the reader publishes the read index
// with release ordering; each reads the other's index with acquire ordering.
//
// A mapped message stays valid until the reader asks for the next one: the
// read index seen by the writer only moves past a message when the following
// read() is made, so the writer can never overwrite bytes that are being read.
//
// Overflow: a write whose bytes would cover unread data, or would land exactly
// on the read position (which would make a full ring look empty), is refused:
// write() returns false, the refusal is counted, and one line goes to standard
// error at the start of each burst of refusals (and one when it ends). The
// writer never waits and never ends the process, so a full servo-to-UI queue
// (gather rows while nobody reads) cannot take the servo down; the messages
// that do arrive are always whole and in order.
//
// Registry: the two queues of the process are obtained by identifier with
// getCollection (0: servo to UI, 1: UI to servo). Who writes and reads each:
// docs/architecture.md.
#pragma once

#include <atomic>

#include "utility/unitMsg.h"

constexpr int QUEUE_SIZE = 500000;

class MesgQueue {
 public:
  explicit MesgQueue(int id);
  ~MesgQueue();
  MesgQueue(const MesgQueue&) = delete;
  MesgQueue& operator=(const MesgQueue&) = delete;

  // The registered queue with this identifier, created on first use. A third
  // distinct identifier ends the process.
  static MesgQueue* getCollection(int id);
  // Destroys every registered queue; called once at shutdown.
  static void releaseAllCollections();

  int id() const { return m_id; }

  // Reader side: true when a message is waiting.
  bool hasData() const;
  // Reader side: maps the next message; the caller must first see hasData().
  CMappedMsg read();

  // Writer side: stamps the length and appends the message. False when refused.
  bool write(CMsg& msg);
  // Writer side: appends n bytes holding one encoded message (its length field
  // equal to n). False when refused.
  bool WriteBytes(const char* bytes, int n);

  // Number of writes refused because the ring was full (any thread).
  long long refusedWrites() const { return m_refused.load(std::memory_order_relaxed); }

 private:
  bool fits(int w, int r, int n, bool* wraps) const;
  void reportRefusal();
  void reportRecovery();

  const int m_id;
  char* const m_ring;  // QUEUE_SIZE + 2 bytes: room for a marker at the very end

  // Effective positions in [0, QUEUE_SIZE]; QUEUE_SIZE means 0. The writer's
  // and the reader's fields live on separate cache lines so the two threads
  // do not keep stealing one line from each other.
  alignas(64) std::atomic<int> m_writeIndex{0};  // written by the writer only
  std::atomic<long long> m_refused{0};           // writer-private refusal bookkeeping
  long long m_burstRefusals = 0;

  alignas(64) std::atomic<int> m_readIndex{0};  // start of the message the reader holds; reader only
  int m_nextRead = 0;                           // reader-private: where the next message starts
};
