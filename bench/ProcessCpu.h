// CPU time of a process or thread, read from its /proc stat file, for the
// benchmarks that measure the real program.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

// User plus system CPU time so far, in seconds (0 when the file cannot be read).
inline double cpuSeconds(const std::filesystem::path& statFile) {
  std::ifstream stat(statFile);
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  if (text.empty()) return 0;
  // Fields after the command name, which is in parentheses: utime is the 12th, stime the 13th.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 1; i <= 13 && fields >> field; ++i) {
    if (i == 12) utime = std::stoull(field);
    if (i == 13) stime = std::stoull(field);
  }
  return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}
