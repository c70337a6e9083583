#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/CommandArgs.h"

namespace {

TEST(CommandArgs, WordsAreCutInPlaceAtWhiteSpace) {
  char line[] = "  jgoto\t1  2\n";
  CommandArgs args(line);
  EXPECT_STREQ(args.nextWord(), "jgoto");
  EXPECT_STREQ(args.nextWord(), "1");
  EXPECT_STREQ(args.nextWord(), "2");
  EXPECT_EQ(args.nextWord(), nullptr);
  EXPECT_EQ(args.nextWord(), nullptr);
}

TEST(CommandArgs, IntegersAreWholeWordsWithBaseDetection) {
  int v = 0;
  EXPECT_TRUE(parseInt("42", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(parseInt("0x1F", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(parseInt("010", v));
  EXPECT_EQ(v, 8);
  EXPECT_TRUE(parseInt("-7", v));
  EXPECT_EQ(v, -7);
  for (const char* bad : {"", "4x", "1.5", "09", "99999999999", "x"}) EXPECT_FALSE(parseInt(bad, v)) << bad;
}

TEST(CommandArgs, FloatsAreWholeFiniteDecimalWords) {
  float v = 0;
  EXPECT_TRUE(parseFloat("1.5", v));
  EXPECT_EQ(v, 1.5f);
  EXPECT_TRUE(parseFloat("-2e-3", v));
  EXPECT_EQ(v, -2e-3f);
  EXPECT_TRUE(parseFloat("7", v));
  EXPECT_EQ(v, 7.0f);
  for (const char* bad : {"", "1.5.", "abc", "nan", "inf", "-inf", "1e99", "0x1p3", "-0x10"}) {
    EXPECT_FALSE(parseFloat(bad, v)) << bad;
  }
}

TEST(CommandArgs, VectorsFailAtTheFirstBadValue) {
  char line[] = "1 2 oops 4";
  CommandArgs args(line);
  float values[4] = {0, 0, 0, 0};
  EXPECT_FALSE(args.nextFloats(values, 4));
  EXPECT_EQ(values[1], 2.0f);
  char shortLine[] = "1 2";
  CommandArgs shortArgs(shortLine);
  EXPECT_FALSE(shortArgs.nextFloats(values, 3));
}

TEST(CommandArgs, ScanTakesALeadingDecimalAndIgnoresTheRest) {
  int v = -1;
  char hex[] = " 0x10";
  EXPECT_TRUE(CommandArgs(hex).scanInt(v));
  EXPECT_EQ(v, 0);
  char trailing[] = "12abc 5";
  EXPECT_TRUE(CommandArgs(trailing).scanInt(v));
  EXPECT_EQ(v, 12);
  char none[] = "  abc";
  EXPECT_FALSE(CommandArgs(none).scanInt(v));
  char empty[] = "";
  EXPECT_FALSE(CommandArgs(empty).scanInt(v));
}

}  // namespace
