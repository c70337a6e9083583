#include "utility/PrDataInput.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>

#include "utility/PrAssert.h"
#include "utility/PrSocket.h"

PrDataInput::PrDataInput(const PrSocket* remoteSocket, int maxSize)
    : m_socket(remoteSocket != nullptr ? remoteSocket->descriptor() : -1),
      m_bufferSize(maxSize + 4),
      m_buffer(new char[maxSize + 4]()) {
  PR_ASSERT(remoteSocket != NULL);
  PR_ASSERT(maxSize >= 0 && maxSize + 4 <= MAX_MSG_SIZE);
}

PrDataInput::~PrDataInput() { delete[] m_buffer; }

int PrDataInput::ready() {
  if (m_failed) {
    dropPending();
    return -2;
  }
  if (m_unread) return m_messageSize;

  if (m_needHeader) {
    if (!peekHeader()) return m_failed ? -2 : -1;
    m_needHeader = false;
  }

  int available = 0;
  if (!readableBytes(&available)) return -1;
  if (available < m_pendingSize) {
    if (peerHungUp()) return fail("the peer closed the connection in the middle of a message");
    return -1;
  }

  int received = 0;
  while (received < m_pendingSize) {
    const ssize_t n = ::recv(m_socket, m_buffer + received, static_cast<size_t>(m_pendingSize - received), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    received += static_cast<int>(n);
  }
  if (received < m_pendingSize) {
    std::perror("PrDataInput: ready() error");
    // Part of a message is gone: the stream can no longer be framed.
    m_failed = true;
    return -2;
  }
  m_needHeader = true;
  m_messageSize = m_pendingSize;
  m_unread = true;
  return m_messageSize;
}

CMappedMsg PrDataInput::read() {
  PR_ASSERT(m_messageSize >= 4);
  m_unread = false;
  CMappedMsg msg;
  msg.setFromBytes(m_buffer, m_messageSize);
  return msg;
}

bool PrDataInput::readableBytes(int* count) {
  if (::ioctl(m_socket, FIONREAD, count) < 0) {
    std::perror("PrDataInput::Peek():ioctl() error");
    return false;
  }
  return true;
}

bool PrDataInput::peekHeader() {
  int available = 0;
  if (!readableBytes(&available)) return false;
  if (available < 2) {
    if (available > 0 && peerHungUp()) fail("the peer closed the connection in the middle of a message");
    return false;
  }
  unsigned char header[2];
  ssize_t n;
  do {
    n = ::recv(m_socket, header, 2, MSG_PEEK);
  } while (n < 0 && errno == EINTR);
  if (n != 2) {
    std::perror("PrDataInput::Peek():recv() error");
    return false;
  }
  const int size = (header[0] << 8) | header[1];
  if (size < m_headerSize || size > m_bufferSize) {
    char reason[96];
    std::snprintf(reason, sizeof reason, "protocol error, message length %d outside %d..%d", size,
                  m_headerSize, m_bufferSize);
    fail(reason);
    return false;
  }
  m_pendingSize = size;
  return true;
}

bool PrDataInput::peerHungUp() const {
  pollfd p{m_socket, POLLIN | POLLRDHUP, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  return (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

int PrDataInput::fail(const char* reason) {
  std::fprintf(stderr, "PrDataInput: %s; dropping the connection's pending bytes.\n", reason);
  m_failed = true;
  dropPending();
  return -2;
}

void PrDataInput::dropPending() {
  for (;;) {
    const ssize_t n = ::recv(m_socket, m_buffer, static_cast<size_t>(m_bufferSize), MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
  }
}
