// Writes a gather file: plain text, one line per servo tick, one column per
// value, so that a numerical package loads it as a matrix.
//
// Each value is written "%f" (six decimals, no exponent) followed by a tab,
// the last one included, and the line ends with a newline. Output is buffered
// and never flushed explicitly: the file is complete once it is closed.
#pragma once

#include <cstdio>

class PrMatlab {
 public:
  PrMatlab() = default;
  ~PrMatlab();
  PrMatlab(const PrMatlab&) = delete;
  PrMatlab& operator=(const PrMatlab&) = delete;

  // Closes a file still open, then creates or truncates fileName. On failure
  // prints "unable to open outfile <name>" on standard error and returns
  // false. variableName and columns are kept for callers that name the matrix;
  // the text format does not use them.
  bool start(const char* fileName, const char* variableName, int columns);

  // Appends one line of count values; ignored while no file is open.
  void writeRow(const float* values, int count);

  // Closes the file if one is open; closing twice is harmless.
  void close();

  bool isOpen() const { return m_file != nullptr; }

 private:
  std::FILE* m_file = nullptr;
};
