#include "utility/PrDataOutput.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>

#include "utility/PrAssert.h"
#include "utility/PrSocket.h"

PrDataOutput::PrDataOutput(const PrSocket* remoteSocket, int maxSize)
    : m_socket(remoteSocket != nullptr ? remoteSocket->descriptor() : -1), m_bufferSize(maxSize + 4) {
  PR_ASSERT(remoteSocket != NULL);
  PR_ASSERT(maxSize >= 0 && maxSize + 4 <= MAX_MSG_SIZE);
}

int PrDataOutput::write(CMsg& msg) {
  const char* buffer = nullptr;
  int cBytes = 0;
  msg.prepareForSending(&buffer, &cBytes);
  PR_ASSERT(cBytes > 0 && buffer != NULL);
  PR_ASSERT(cBytes <= m_bufferSize);
  if (m_broken) return -1;

  int sent = 0;
  while (sent < cBytes) {
    const ssize_t n = ::send(m_socket, buffer + sent, static_cast<size_t>(cBytes - sent), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      reportFailure();
      if (sent > 0) m_broken = true;
      return -1;
    }
    sent += static_cast<int>(n);
  }
  return sent;
}

void PrDataOutput::reportFailure() {
  if (m_reported) return;
  m_reported = true;
  std::perror("PrDataOutput: send() error");
}
