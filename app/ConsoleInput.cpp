#include "app/ConsoleInput.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

void ConsoleInput::showPrompt(const char* prompt) {
  std::fputs(prompt, stdout);
  std::fflush(stdout);
}

bool ConsoleInput::takeLine(char* line, int size, bool atEnd) {
  const int available = m_end - m_begin;
  const char* start = m_buffer + m_begin;
  const void* lineFeed = std::memchr(start, '\n', available);
  int length = 0;
  if (lineFeed != nullptr) {
    length = static_cast<int>(static_cast<const char*>(lineFeed) - start) + 1;
  } else if (available >= size - 1 || (atEnd && available > 0)) {
    length = available;
  } else {
    return false;
  }
  if (length > size - 1) length = size - 1;
  std::memcpy(line, start, length);
  line[length] = '\0';
  m_begin += length;
  return true;
}

ConsoleInput::Result ConsoleInput::readLine(char* line, int size,
                                            const std::function<bool()>& stopRequested) {
  for (;;) {
    if (takeLine(line, size, m_atEnd)) return kLine;
    if (m_atEnd) return kEndOfInput;
    if (stopRequested()) return kStopped;

    pollfd input{m_fd, POLLIN, 0};
    const int ready = ::poll(&input, 1, kPollMs);
    if (ready < 0 && errno != EINTR) return kEndOfInput;
    if (ready <= 0) continue;

    if (m_begin > 0) {  // keep the unread part at the front
      std::memmove(m_buffer, m_buffer + m_begin, m_end - m_begin);
      m_end -= m_begin;
      m_begin = 0;
    }
    const ssize_t n = ::read(m_fd, m_buffer + m_end, kBufferSize - m_end);
    if (n > 0) {
      m_end += static_cast<int>(n);
    } else if (n == 0 || errno != EINTR) {
      m_atEnd = true;
    }
  }
}
