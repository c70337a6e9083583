#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "utility/JointPositionSource.h"
#include "utility/PsPlotter.h"

namespace {

// Joint positions set by the test, in degrees, as the console reports them.
class FakeArm : public JointPositionSource {
 public:
  void getQ(PrVector& q) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    q.resize(m_dof);
    for (int i = 0; i < m_dof; ++i) q[i] = m_q[i];
    ++samples;
  }
  void set(int dof, float a, float b = 0, float c = 0) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dof = dof;
    m_q[0] = a;
    m_q[1] = b;
    m_q[2] = c;
  }
  int sampleCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return samples;
  }

 private:
  std::mutex m_mutex;
  int m_dof = 6;
  float m_q[6] = {};
  int samples = 0;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int countOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

void waitForSamples(FakeArm& arm, int n) {
  const int target = arm.sampleCount() + n;
  while (arm.sampleCount() < target) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

bool endsWithTrailer(const std::string& text) {
  return text.size() > 20 && text.substr(text.size() - 23) == std::string(17, ' ') + "%%EOF\n";
}

TEST(PsPlotter, DrawsAFrameWheneverTheArmMoves) {
  FakeArm arm;
  PsPlotter plotter(&arm);
  plotter.setPlotRate(5);
  const std::string path = testing::TempDir() + "moving.ps";
  arm.set(6, 10, 20, 30);
  ASSERT_TRUE(plotter.open(path.c_str()));
  testing::internal::CaptureStdout();
  plotter.start();
  waitForSamples(arm, 2);
  arm.set(6, 11, 20, 30);
  waitForSamples(arm, 2);
  arm.set(6, 11, 20, 30.01f);  // 0.00017 rad: too small to draw
  waitForSamples(arm, 2);
  arm.set(2, 12, 21);  // a shorter arm: the third angle counts as 0
  waitForSamples(arm, 2);
  plotter.stop();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Plot file saved.\n");
  EXPECT_FALSE(plotter.isOpen());
  const std::string text = readFile(path);
  EXPECT_EQ(text.rfind("%!PS-Adobe-2.0\n", 0), 0u);
  EXPECT_EQ(countOf(text, "% frame "), 3);
  EXPECT_NE(text.find("% frame 3\n"), std::string::npos);
  EXPECT_TRUE(endsWithTrailer(text));
}

TEST(PsPlotter, ResumingAtTheLastDrawnPoseDrawsNothing) {
  FakeArm arm;
  PsPlotter plotter(&arm);
  plotter.setPlotRate(5);
  arm.set(6, -40, 5, 5);
  const std::string first = testing::TempDir() + "first.ps";
  const std::string second = testing::TempDir() + "second.ps";
  testing::internal::CaptureStdout();
  ASSERT_TRUE(plotter.open(first.c_str()));
  plotter.start();
  waitForSamples(arm, 3);
  // A new plot while one runs: the first file is finished before the second opens.
  ASSERT_TRUE(plotter.open(second.c_str()));
  EXPECT_TRUE(endsWithTrailer(readFile(first)));
  EXPECT_EQ(countOf(readFile(first), "% frame "), 1);
  plotter.start();
  waitForSamples(arm, 3);
  plotter.stop();
  testing::internal::GetCapturedStdout();
  const std::string text = readFile(second);
  EXPECT_EQ(countOf(text, "% frame "), 0);
  EXPECT_TRUE(endsWithTrailer(text));
}

TEST(PsPlotter, RateAndStopMisuseAreHarmless) {
  FakeArm arm;
  PsPlotter plotter(&arm);
  EXPECT_EQ(plotter.plotRate(), 50);
  testing::internal::CaptureStderr();
  plotter.setPlotRate(0);
  plotter.setPlotRate(-3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Time between frames must be positive.\nTime between frames must be positive.\n");
  EXPECT_EQ(plotter.plotRate(), 50);
  plotter.stop();
  plotter.stop();
  plotter.start();  // no file: nothing starts
  EXPECT_EQ(arm.sampleCount(), 0);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(plotter.open("/nonexistent-dir/plot.ps"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to open plot file\n");
  plotter.start();
  EXPECT_FALSE(plotter.isOpen());
}

TEST(PsPlotter, StopDoesNotWaitForALongInterval) {
  FakeArm arm;
  PsPlotter plotter(&arm);
  plotter.setPlotRate(60000);
  const std::string path = testing::TempDir() + "slow.ps";
  ASSERT_TRUE(plotter.open(path.c_str()));
  testing::internal::CaptureStdout();
  plotter.start();
  waitForSamples(arm, 1);
  const auto begin = std::chrono::steady_clock::now();
  plotter.stop();
  testing::internal::GetCapturedStdout();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
}

TEST(PsPlotter, GhostscriptRendersAPlotToANonBlankPage) {
  if (std::system("command -v gs >/dev/null 2>&1") != 0) GTEST_SKIP() << "Ghostscript (gs) is not installed";
  FakeArm arm;
  PsPlotter plotter(&arm);
  plotter.setPlotRate(5);
  const std::string path = testing::TempDir() + "render.ps";
  const std::string bbox = testing::TempDir() + "render.bbox";
  ASSERT_TRUE(plotter.open(path.c_str()));
  testing::internal::CaptureStdout();
  plotter.start();
  for (int step = 0; step < 5; ++step) {
    arm.set(6, 20.0f * float(step), -10.0f * float(step), 15.0f * float(step));
    waitForSamples(arm, 2);
  }
  plotter.stop();
  testing::internal::GetCapturedStdout();
  const std::string command =
      "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox '" + path + "' 2>'" + bbox + "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << readFile(bbox);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  const std::string box = readFile(bbox);
  ASSERT_EQ(std::sscanf(box.c_str(), "%%%%BoundingBox: %d %d %d %d", &x0, &y0, &x1, &y1), 4) << box;
  EXPECT_GT(x1 - x0, 100);
  EXPECT_GT(y1 - y0, 100);
}

}  // namespace
