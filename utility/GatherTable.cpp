#include "utility/GatherTable.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

bool readGatherTable(const std::string& path, GatherTable& table, std::string& error) {
  table = {};
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string line;
  for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
    int count = 0;
    const char* p = line.c_str();
    for (;;) {
      while (*p == ' ' || *p == '\t' || *p == '\r') ++p;
      if (*p == '\0') break;
      char* end = nullptr;
      const double value = std::strtod(p, &end);
      if (end == p || (*end != '\0' && *end != ' ' && *end != '\t' && *end != '\r')) {
        const char* stop = p + std::strcspn(p, " \t\r");
        error = path + " line " + std::to_string(lineNumber) + ": \"" + std::string(p, stop) +
                "\" is not a number";
        return false;
      }
      table.values.push_back(value);
      ++count;
      p = end;
    }
    if (count == 0) continue;
    if (table.width == 0) {
      table.width = count;
    } else if (count != table.width) {
      error = path + " line " + std::to_string(lineNumber) + " has " + std::to_string(count) +
              " values, the first row " + std::to_string(table.width);
      return false;
    }
  }
  if (in.bad()) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  if (table.width == 0) {
    error = path + " holds no rows";
    return false;
  }
  return true;
}
