#include "app/CommandArgs.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "matrix/PrVector.h"

namespace {
bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

bool parseInt(const char* word, int& value) {
  if (word == nullptr || *word == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(word, &end, 0);
  if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool parseFloat(const char* word, float& value) {
  if (word == nullptr || *word == '\0') return false;
  // strtof would also take hexadecimal floats; arguments are decimal.
  const char* digits = (*word == '+' || *word == '-') ? word + 1 : word;
  if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) return false;
  char* end = nullptr;
  const float parsed = std::strtof(word, &end);
  // A non-finite goal or limit would only poison the servo's state.
  if (*end != '\0' || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

char* CommandArgs::nextWord() {
  while (*m_cursor != '\0' && isBlank(*m_cursor)) ++m_cursor;
  if (*m_cursor == '\0') return nullptr;
  char* word = m_cursor;
  while (*m_cursor != '\0' && !isBlank(*m_cursor)) ++m_cursor;
  if (*m_cursor != '\0') *m_cursor++ = '\0';
  return word;
}

bool CommandArgs::nextInt(int& value) { return parseInt(nextWord(), value); }

bool CommandArgs::nextFloat(float& value) { return parseFloat(nextWord(), value); }

bool CommandArgs::nextFloats(float* values, int n) {
  for (int i = 0; i < n; ++i) {
    if (!nextFloat(values[i])) return false;
  }
  return true;
}

bool CommandArgs::nextFloats(PrVector& v) { return nextFloats(v.dataPtr(), v.size()); }

bool CommandArgs::scanInt(int& value) {
  while (*m_cursor != '\0' && isBlank(*m_cursor)) ++m_cursor;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(m_cursor, &end, 10);
  if (end == m_cursor || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  m_cursor = end;
  value = static_cast<int>(parsed);
  return true;
}
