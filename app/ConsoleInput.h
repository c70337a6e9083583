// Reads console lines from a file descriptor without blocking shutdown.
//
// Waits for input in short polls so that the reading thread notices a stop
// request instead of sitting in a read until the user types something.
// Lines come out like fgets: at most size - 1 characters, the line feed
// included when it fits; a longer line comes out in several pieces.
#pragma once

#include <functional>

#include "app/LineReader.h"

class ConsoleInput : public LineReader {
 public:
  explicit ConsoleInput(int fd) : m_fd(fd) {}

  // Prints the prompt on standard output.
  void showPrompt(const char* prompt) override;
  // Reads the next line into line (size bytes, NUL-terminated). kEndOfInput
  // at the end of input (after the last line) or on a read error; kStopped as
  // soon as stopRequested() returns true while waiting.
  Result readLine(char* line, int size, const std::function<bool()>& stopRequested) override;

 private:
  static constexpr int kBufferSize = 4096;
  static constexpr int kPollMs = 50;

  // Takes the next line (or piece) out of the buffer when one is complete.
  bool takeLine(char* line, int size, bool atEnd);

  int m_fd;
  char m_buffer[kBufferSize];
  int m_begin = 0;
  int m_end = 0;
  bool m_atEnd = false;
};
