// The whole program with its window on the test's private display: commands
// typed at the console while the window refreshes, then "exit" from the
// console thread ends the session through the window.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "GuiTestEnvironment.h"
#include "ProgramRun.h"

namespace {
namespace fs = std::filesystem;

TEST(KorvexWindowRun, ConsoleExitEndsTheWindowAndWritesItsLayout) {
  guiApplication();  // DISPLAY now names the private Xvfb
  ProgramRun korvex("window", {});
  const char* lines[] = {"float",       "startgather window.mat",  "jmove 10 -20 30 0 0 0",
                         "robottype 4", "goto 0.4 0.1 0.5 0 90 0", "stopgather",
                         "exit"};
  for (const char* line : lines) {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    ASSERT_TRUE(korvex.type(line)) << line;
  }

  const int status = korvex.wait(60000);
  const std::string err = korvex.err();
  ASSERT_EQ(status, 0) << err;
  EXPECT_NE(korvex.out().find("Exiting."), std::string::npos) << korvex.out();
  EXPECT_EQ(err.find("QObject"), std::string::npos) << err;
  EXPECT_EQ(err.find("thread"), std::string::npos) << err;
  EXPECT_EQ(err.find("no window"), std::string::npos) << err;
  EXPECT_GT(fs::file_size(korvex.dir() / "config"), 0u);
  EXPECT_GT(fs::file_size(korvex.dir() / "window.mat"), 0u);
}

}  // namespace
