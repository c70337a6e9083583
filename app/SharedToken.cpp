#include "app/SharedToken.h"

#include <cstdio>
#include <cstring>

bool readTokenFile(const std::string& path, std::string* token, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) {
    *error = "cannot read the token file '" + path + "'";
    return false;
  }
  char line[kMaxTokenLine + 2] = {};
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  std::string text = read ? line : "";
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.pop_back();
  }
  if (text.empty()) {
    *error = "the token file '" + path + "' holds no token";
    return false;
  }
  if (text.size() + std::strlen(kTokenPreamble) + 1 > static_cast<size_t>(kMaxTokenLine)) {
    *error = "the token in '" + path + "' is too long";
    return false;
  }
  *token = text;
  return true;
}

bool tokensEqual(const std::string& offered, const std::string& expected) {
  // Every character of expected is looked at, whatever offered holds.
  unsigned char difference = offered.size() == expected.size() ? 0 : 1;
  for (size_t i = 0; i < expected.size(); ++i) {
    const unsigned char mine = i < offered.size() ? static_cast<unsigned char>(offered[i]) : 0;
    difference |= static_cast<unsigned char>(mine ^ static_cast<unsigned char>(expected[i]));
  }
  return difference == 0;
}

std::string tokenLine(const std::string& token) { return std::string(kTokenPreamble) + token + "\n"; }

bool isLoopbackHost(const std::string& host) { return host == "localhost" || host.rfind("127.", 0) == 0; }
