#include "utility/PrMatlab.h"

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
  for (int i = 0; i < count; ++i) std::fprintf(m_file, "%f\t", values[i]);
  std::fputc('\n', m_file);
}

void PrMatlab::close() {
  if (m_file == nullptr) return;
  std::fclose(m_file);
  m_file = nullptr;
}
