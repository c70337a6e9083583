// korvex-scenarios as users run it, in the run directory: the rows of the
// control modes and a last line with the speed of the headless loop, whose
// figures agree with each other.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The full run is some forty times slower in a sanitized build and checks
// nothing a sanitizer would.
#ifndef KORVEX_SANITIZED
TEST(ScenariosRun, PrintsEveryModeAndTheSpeedOfTheLoop) {
  const std::filesystem::path out = std::filesystem::path(testing::TempDir()) / "korvex-scenarios.out";
  const int status = std::system(("./korvex-scenarios > '" + out.string() + "'").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  std::ifstream in(out);
  std::string line, last;  // last: the speed line
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.rfind("goto ", 0) == 0 || line.rfind("jgoto ", 0) == 0 || line.rfind("float ", 0) == 0) ++rows;
    if (line.rfind("Speed: ", 0) == 0) last = line;
  }
  EXPECT_EQ(rows, 3) << "the rows of float, jgoto and goto";
  long long ticks = 0;
  double simulated = 0, wall = 0, times = 0, perTick = 0, cpuPerTick = 0;
  ASSERT_EQ(
      std::sscanf(last.c_str(),
                  "Speed: %lld ticks (%lf s simulated) in %lf s: %lfx real time; %lf us a tick (%lf us CPU)",
                  &ticks, &simulated, &wall, &times, &perTick, &cpuPerTick),
      6)
      << last;
  EXPECT_GT(ticks, 50000) << "every scenario runs for seconds";
  EXPECT_NEAR(simulated, double(ticks) * 0.002, 0.1);
  EXPECT_NEAR(times, simulated / wall, 0.01 * times + 1);
  EXPECT_NEAR(perTick, 1e6 * wall / double(ticks), 0.01 * perTick + 0.01);
  EXPECT_GT(cpuPerTick, 0.0);
}
#endif

}  // namespace
