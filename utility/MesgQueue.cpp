#include "utility/MesgQueue.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "utility/PrAssert.h"

namespace {

constexpr int WRAP_MARKER = 0xFFFF;
constexpr int MAX_COLLECTIONS = 2;

// The registry is only touched while the agents are built and at shutdown,
// but a lock keeps two threads from creating the same queue twice.
std::mutex g_registryLock;
MesgQueue* g_collections[MAX_COLLECTIONS] = {};
int g_collectionCount = 0;

}  // namespace

MesgQueue::MesgQueue(int id) : m_id(id), m_ring(new char[QUEUE_SIZE + 2]()) {}

MesgQueue::~MesgQueue() { delete[] m_ring; }

MesgQueue* MesgQueue::getCollection(int id) {
  std::lock_guard<std::mutex> lock(g_registryLock);
  for (int i = 0; i < g_collectionCount; ++i) {
    if (g_collections[i]->id() == id) return g_collections[i];
  }
  if (g_collectionCount >= MAX_COLLECTIONS) {
    std::fprintf(stderr, "No more MsgQueue collections available\n");
    std::exit(-1);
  }
  g_collections[g_collectionCount] = new MesgQueue(id);
  return g_collections[g_collectionCount++];
}

void MesgQueue::releaseAllCollections() {
  std::lock_guard<std::mutex> lock(g_registryLock);
  for (int i = 0; i < g_collectionCount; ++i) {
    delete g_collections[i];
    g_collections[i] = nullptr;
  }
  g_collectionCount = 0;
}

//---- reader side -----------------------------------------------------------

bool MesgQueue::hasData() const {
  return m_nextRead % QUEUE_SIZE != m_writeIndex.load(std::memory_order_acquire) % QUEUE_SIZE;
}

CMappedMsg MesgQueue::read() {
  int effecReadIndex = m_nextRead % QUEUE_SIZE;
  const int writeIndex = m_writeIndex.load(std::memory_order_acquire);
  // clang-format off
  PR_ASSERT(effecReadIndex != writeIndex%QUEUE_SIZE);
  // clang-format on

  int cMsgSize = readWireU16(m_ring + effecReadIndex);
  if (cMsgSize == WRAP_MARKER) {
    effecReadIndex = 0;
    cMsgSize = readWireU16(m_ring);
  }
  // clang-format off
  PR_ASSERT(cMsgSize >= 4 && (effecReadIndex+cMsgSize) <= QUEUE_SIZE);
  // clang-format on

  CMappedMsg msg;
  msg.setFromBytes(m_ring + effecReadIndex, cMsgSize);
  // Hand the previous message's bytes (and a skipped tail) back to the writer;
  // this one stays protected until the next read.
  m_readIndex.store(effecReadIndex, std::memory_order_release);
  m_nextRead = effecReadIndex + cMsgSize;
  return msg;
}

//---- writer side -----------------------------------------------------------

bool MesgQueue::write(CMsg& msg) {
  const char* msgBuffer = nullptr;
  int cBytes = 0;
  msg.prepareForSending(&msgBuffer, &cBytes);
  PR_ASSERT(cBytes > 0 && msgBuffer != NULL);
  return WriteBytes(msgBuffer, cBytes);
}

// Whether n bytes fit at effective write position w with the reader holding
// everything from effective position r onwards. The new bytes must neither
// cover r nor end exactly on it.
bool MesgQueue::fits(int w, int r, int n, bool* wraps) const {
  *wraps = false;
  if (w < r) return w + n < r;  // free space is [w, r)
  // Free space is [w, QUEUE_SIZE) and [0, r).
  if (w + n < QUEUE_SIZE) return true;
  if (w + n == QUEUE_SIZE) return r != 0;
  *wraps = true;
  return n < r;
}

bool MesgQueue::WriteBytes(const char* bytes, int n) {
  PR_ASSERT(n >= 4 && n <= MAX_MSG_SIZE);
  PR_ASSERT(readWireU16(bytes) == n);
  int w = m_writeIndex.load(std::memory_order_relaxed) % QUEUE_SIZE;
  const int r = m_readIndex.load(std::memory_order_acquire) % QUEUE_SIZE;

  bool wraps = false;
  if (!fits(w, r, n, &wraps)) {
    reportRefusal();
    return false;
  }
  if (m_burstRefusals > 0) reportRecovery();

  if (wraps) {
    writeWireU16(m_ring + w, WRAP_MARKER);
    w = 0;
  }
  std::memcpy(m_ring + w, bytes, static_cast<size_t>(n));
  m_writeIndex.store(w + n, std::memory_order_release);
  return true;
}

void MesgQueue::reportRefusal() {
  m_refused.fetch_add(1, std::memory_order_relaxed);
  if (m_burstRefusals++ == 0) {
    std::fprintf(stderr,
                 "Error in MesgQueue::WriteBytes: queue %d full, refusing to overwrite unread data.\n", m_id);
  }
}

void MesgQueue::reportRecovery() {
  std::fprintf(stderr, "MesgQueue %d: accepting messages again after refusing %lld.\n", m_id,
               m_burstRefusals);
  m_burstRefusals = 0;
}
