#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/Configuration.h"

namespace {

// Parses text as if it were the content of Configuration.dat.
Configuration parseText(const std::string& text) {
  std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  Configuration c = parseConfiguration(f);
  std::fclose(f);
  return c;
}

TEST(ConfigurationTest, ReadsTheThreeKeys) {
  const Configuration c = parseText(
      "KORVEX_SERV_HOST_ADDR=lab-pc.example:5000\nREFRESH_RATE_CAPTION=100\nREFRESH_RATE_GRAPHIC=40\n");
  ASSERT_TRUE(c.servHostAddr.has_value());
  EXPECT_EQ(*c.servHostAddr, "lab-pc.example:5000");
  EXPECT_EQ(c.refreshRateCaption, 100);
  EXPECT_EQ(c.refreshRateGraphic, 40);
  EXPECT_TRUE(c.hasRefreshRates());
}

TEST(ConfigurationTest, RefreshKeysAloneLeaveNoHostAndZeroIsAccepted) {
  const Configuration c = parseText("REFRESH_RATE_CAPTION=0\nREFRESH_RATE_GRAPHIC= 7\n");
  EXPECT_FALSE(c.servHostAddr.has_value());
  EXPECT_EQ(c.refreshRateCaption, 0);
  EXPECT_EQ(c.refreshRateGraphic, 7);
  EXPECT_TRUE(c.hasRefreshRates());
}

TEST(ConfigurationTest, KeyIsRecognisedByItsPrefix) {
  const Configuration c = parseText("REFRESH_RATE_CAPTIONXYZ=55\nREFRESH_RATE_GRAPHIC=40\n");
  EXPECT_EQ(c.refreshRateCaption, 55);
}

TEST(ConfigurationTest, UnknownKeyDoesNotHideTheNextLine) {
  testing::internal::CaptureStderr();
  const Configuration c = parseText("COLOUR=blue\nREFRESH_RATE_CAPTION=100\nREFRESH_RATE_GRAPHIC=40\n");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(c.refreshRateCaption, 100);
  EXPECT_EQ(c.refreshRateGraphic, 40);
  EXPECT_NE(err.find("COLOUR"), std::string::npos);
}

TEST(ConfigurationTest, MissingOrNegativeOrUnparsableRatesAreReportedMissing) {
  EXPECT_FALSE(parseText("REFRESH_RATE_CAPTION=100\n").hasRefreshRates());
  EXPECT_FALSE(parseText("REFRESH_RATE_CAPTION=-1\nREFRESH_RATE_GRAPHIC=40\n").hasRefreshRates());
  // A value that is not a number ends the reading, so later keys are not seen.
  EXPECT_FALSE(parseText("REFRESH_RATE_CAPTION=fast\nREFRESH_RATE_GRAPHIC=40\n").hasRefreshRates());
  EXPECT_FALSE(parseConfiguration(nullptr).hasRefreshRates());
}

TEST(ConfigurationTest, LongHostIsCutAndTheRestOfItsLineSkipped) {
  const std::string host(80, 'h');
  const Configuration c =
      parseText("KORVEX_SERV_HOST_ADDR=" + host + "\nREFRESH_RATE_CAPTION=1\nREFRESH_RATE_GRAPHIC=2\n");
  ASSERT_TRUE(c.servHostAddr.has_value());
  EXPECT_EQ(c.servHostAddr->size(), 49u);
  EXPECT_EQ(c.refreshRateCaption, 1);
  EXPECT_EQ(c.refreshRateGraphic, 2);
}

TEST(ConfigurationTest, LinesWithoutEqualsAndWindowsLineEndsAreTolerated) {
  testing::internal::CaptureStderr();
  const Configuration c = parseText(
      "just words\r\nKORVEX_SERV_HOST_ADDR=localhost\r\nREFRESH_RATE_CAPTION=3\r\nREFRESH_RATE_GRAPHIC=4");
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(c.servHostAddr.has_value());
  EXPECT_EQ(*c.servHostAddr, "localhost");
  EXPECT_EQ(c.refreshRateCaption, 3);
  EXPECT_EQ(c.refreshRateGraphic, 4);
}

TEST(ConfigurationTest, ReadConfigurationReportsAMissingFile) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(readConfiguration("/nonexistent/Configuration.dat"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to get Refresh Rates.  Exiting.\n");
  EXPECT_EQ(refreshRateCaption, -1);
}

TEST(ConfigurationTest, ShippedFileIsValid) {
  // Tests run in the build's run directory, which holds the shipped data.
  EXPECT_TRUE(readConfiguration("Configuration.dat"));
  EXPECT_GE(refreshRateCaption, 0);
  EXPECT_GE(refreshRateGraphic, 0);
}

}  // namespace
