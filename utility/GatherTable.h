// A gather file read back as a table: every row the same width, every value
// a number. Blank lines are skipped; anything else that is not a full row of
// numbers makes the whole file unusable, with one line saying where.
#pragma once

#include <string>
#include <vector>

struct GatherTable {
  int width = 0;
  std::vector<double> values;  // row after row
  int rows() const { return width > 0 ? static_cast<int>(values.size() / width) : 0; }
  double at(int row, int column) const { return values[static_cast<size_t>(row) * width + column]; }
};

// False, with `error` one line (no newline) naming the fault: a file that
// cannot be read, holds no rows, has a value that is not a number, or a row
// whose width differs from the first one.
bool readGatherTable(const std::string& path, GatherTable& table, std::string& error);
