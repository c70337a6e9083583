#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "utility/PrMatlab.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(PrMatlab, RowsAreSixDecimalValuesEachFollowedByATab) {
  const std::string path = testing::TempDir() + "rows.mat";
  PrMatlab writer;
  ASSERT_TRUE(writer.start(path.c_str(), "Data", 10));
  const float first[] = {0.5f, 2.0f};
  const float second[] = {-1.25f, 1e7f, 0.0000004f};
  writer.writeRow(first, 2);
  writer.writeRow(second, 3);
  writer.close();
  writer.close();  // harmless
  EXPECT_EQ(readFile(path), "0.500000\t2.000000\t\n-1.250000\t10000000.000000\t0.000000\t\n");
}

// The writer formats without printf; the file must still read exactly as "%f"
// would write it, for every kind of value and for rows longer than its buffer.
TEST(PrMatlab, RowsReadExactlyAsPrintfWouldWriteThem) {
  std::vector<float> values = {
      0.0f,        -0.0f,     1e-7f,    -1e-7f,      0.0000005f,
      -0.0000005f, 0.1f,      -2.5e-6f, 123.456789f, 1e20f,
      FLT_MAX,     -FLT_MAX,  FLT_MIN,  -FLT_MIN,    std::numeric_limits<float>::denorm_min(),
      INFINITY,    -INFINITY, NAN,      -NAN,        16777217.0f};
  for (int i = 0; i < 2047 - 20; ++i) values.push_back(std::ldexp(float(i % 97) - 48.3f, i % 60 - 30));
  std::string expected;
  char one[64];
  for (float v : values) {
    std::snprintf(one, sizeof one, "%f\t", v);
    expected += one;
  }
  expected += "\n";

  const std::string path = testing::TempDir() + "printf.mat";
  PrMatlab writer;
  ASSERT_TRUE(writer.start(path.c_str(), "Data", 10));
  writer.writeRow(values.data(), int(values.size()));
  writer.close();
  EXPECT_EQ(readFile(path), expected);
}

TEST(PrMatlab, StartingAgainClosesTheFirstFileComplete) {
  const std::string first = testing::TempDir() + "first.mat";
  const std::string second = testing::TempDir() + "second.mat";
  PrMatlab writer;
  const float row[] = {1.0f};
  ASSERT_TRUE(writer.start(first.c_str(), "Data", 10));
  for (int i = 0; i < 1000; ++i) writer.writeRow(row, 1);
  ASSERT_TRUE(writer.start(second.c_str(), "Data", 10));
  writer.writeRow(row, 1);
  EXPECT_EQ(readFile(first).size(), 1000u * std::string("1.000000\t\n").size());
  writer.close();
  EXPECT_EQ(readFile(second), "1.000000\t\n");
}

TEST(PrMatlab, UnopenableFileIsRefusedAndRowsAreDropped) {
  PrMatlab writer;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(writer.start("/nonexistent-dir/data.mat", "Data", 10));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "unable to open outfile /nonexistent-dir/data.mat\n");
  EXPECT_FALSE(writer.isOpen());
  const float row[] = {1.0f};
  writer.writeRow(row, 1);  // no file: nothing happens
}

}  // namespace
