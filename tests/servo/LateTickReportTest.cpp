// The servo's report of made-up ticks: one line per burst, at most one a second.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "servo/LateTickReport.h"

namespace {

class LateTickReportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(out, nullptr); }
  void TearDown() override { std::fclose(out); }

  std::string printed() {
    std::fflush(out);
    std::string text(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(text.data(), 1, text.size(), out));
    return text;
  }

  std::FILE* out = std::tmpfile();
  LateTickReport report{out};
};

TEST_F(LateTickReportTest, ABurstIsReportedOnceWhenItIsOver) {
  report.onStep(0, 0);
  EXPECT_EQ(printed(), "");
  for (int ms = 10; ms < 160; ++ms) report.onStep(1, ms);
  EXPECT_EQ(printed(), "") << "still making up";
  report.onStep(0, 160);
  EXPECT_EQ(printed(), "Servo late: 150 ticks made up\n");
  EXPECT_EQ(report.total(), 150);
}

TEST_F(LateTickReportTest, AtMostOneLineASecond) {
  report.onStep(3, 0);
  report.onStep(0, 1);
  report.onStep(2, 500);
  report.onStep(0, 501);
  report.onStep(4, 900);
  report.onStep(0, 999);
  EXPECT_EQ(printed(), "Servo late: 3 ticks made up\n");
  report.onStep(0, 1001);
  EXPECT_EQ(printed(), "Servo late: 3 ticks made up\nServo late: 6 ticks made up\n");
  EXPECT_EQ(report.total(), 9);
}

TEST_F(LateTickReportTest, ABurstThatGoesOnIsReportedEverySecond) {
  for (int ms = 0; ms <= 2500; ms += 2) report.onStep(1, ms);
  EXPECT_EQ(printed(), "Servo late: 501 ticks made up\nServo late: 501 ticks made up\n");
  EXPECT_EQ(report.total(), 1251);
}

}  // namespace
