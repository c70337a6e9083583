// Standard input that is not a terminal reads as it always has: the same
// bytes in give the same bytes out. The expected texts were recorded from the
// program before the console learnt line editing and help.
#include <gtest/gtest.h>

#include <string>

#include "KorvexRun.h"

namespace {

constexpr const char kTyped[] =
    "pcmode\nfoo\n\n   \nvmax abc\njgoto 1 2\nstartgather\nstartplot\nplotrate x\nkp 99\npkp\nfloat\npcmode\n"
    "xyzzy 1 2\nnjhold\npcmode\nload nofile.txt\nwait 10\nsetline 1 2\nrobottype 9\nexit\n";

constexpr const char kErrors[] =
    "Initializing TextUI...\nEntering servoLoop...\ncmode=1\nBad user command 'foo'\n"
    "Error in arguments; expected 1 arg\nError: expected 6 arguments.\n"
    "Call to StartGather must specify filename.\nCall to StartPlot must specify filename.\n"
    "Plotrate must be an integer specifying milliseconds between plot frames.\n"
    "Error in arguments; kp expects a control mode\n"
    "kp = (400.000000 400.000000 400.000000 400.000000 400.000000 400.000000)\ncmode=1\n"
    "Bad user command 'xyzzy'\ncmode=2\nError opening script file nofile.txt\nBad user command 'wait'\n"
    "Error in arguments; expected 6 args\nError in arguments; robottype must be 0 to 6\nSession ended.\n";

// A loaded machine may make the servo report late ticks; those lines depend on
// the wall clock, not on the input.
std::string withoutLateTickReports(const std::string& text) {
  std::string kept;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    end = end == std::string::npos ? text.size() : end + 1;
    if (text.compare(begin, 12, "Servo late: ") != 0) kept.append(text, begin, end - begin);
    begin = end;
  }
  return kept;
}

TEST(PipedConsole, TheSameLinesInGiveTheSameTextOut) {
  std::string why;
  if (!korvexAvailable(&why)) GTEST_SKIP() << why;
  const KorvexRun run = runKorvex("", kTyped);
  EXPECT_EQ(run.status, 0);
  std::string prompts;
  for (int i = 0; i < 21; ++i) prompts += "KORVEX:> ";
  EXPECT_EQ(run.out, prompts + "Exiting.\n");
  EXPECT_EQ(withoutLateTickReports(run.err), kErrors);
}

}  // namespace
