#include "utility/PrMatlab.h"

#include <charconv>
#include <cstring>

PrMatlab::~PrMatlab() { close(); }

bool PrMatlab::start(const char* fileName, const char* /*variableName*/, int /*columns*/) {
  close();
  m_file = std::fopen(fileName, "w");
  if (m_file == nullptr) {
    std::fprintf(stderr, "unable to open outfile %s\n", fileName);
    return false;
  }
  return true;
}

void PrMatlab::writeRow(const float* values, int count) {
  if (m_file == nullptr) return;
  // to_chars with a precision writes exactly what printf's "%f" writes for
  // the same double, several times faster; at 500 rows a second, or far more
  // in an unpaced run, the formatting is most of the listener's work.
  char line[4096];
  constexpr int kLongestValue = 64;  // "%f" of -FLT_MAX: 47 characters, and the tab
  int length = 0;
  for (int i = 0; i < count; ++i) {
    if (length > int(sizeof line) - kLongestValue) {
      std::fwrite(line, 1, size_t(length), m_file);
      length = 0;
    }
    const auto written = std::to_chars(line + length, line + length + kLongestValue - 1, double(values[i]),
                                       std::chars_format::fixed, 6);
    length = int(written.ptr - line);
    line[length++] = '\t';
  }
  line[length++] = '\n';
  std::fwrite(line, 1, size_t(length), m_file);
}

void PrMatlab::close() {
  if (m_file == nullptr) return;
  std::fclose(m_file);
  m_file = nullptr;
}
