// The real program, headless, driven by scripts: session end, error texts,
// gathering, plotting and a joint-space goto.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleText.h"
#include "KorvexRun.h"

namespace {

// Robot type 3 at start: 6 joints, 7 configuration parameters, 6 operational
// dimensions. A gather row holds the time, q, dq, qd, x, dx and xd.
constexpr int kDof = 6;
constexpr int kConfigParms = 7;
constexpr int kGatherColumns = 1 + 3 * kDof + 2 * kConfigParms + 6;

class EndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!korvexAvailable(&why)) GTEST_SKIP() << why;
  }

  static KorvexRun runScript(const std::string& name, const std::string& script) {
    return runKorvex(writeTempFile(name, script));
  }

  static void expectOrderlyEnd(const KorvexRun& run) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(occurrences(run.err, "Session ended.\n"), 1) << run.err;
    ASSERT_GE(run.out.size(), 9u);
    EXPECT_EQ(run.out.substr(run.out.size() - 9), "Exiting.\n") << run.out;
  }
};

struct GatherFile {
  std::vector<std::vector<double>> rows;
  bool everyLineComplete = true;  // each value followed by a tab, line feed at the end
};

GatherFile readGatherFile(const std::string& path) {
  GatherFile file;
  const std::string text = readTextFile(path);
  if (!text.empty() && text.back() != '\n') file.everyLineComplete = false;
  for (const std::string& line : splitLines(text)) {
    if (line.empty() || line.back() != '\t') file.everyLineComplete = false;
    std::istringstream values(line);
    std::vector<double> row;
    for (double v; values >> v;) row.push_back(v);
    file.rows.push_back(row);
  }
  return file;
}

// The servo clock is a float advanced by 0.002 s per tick; printed with six
// decimals, one step reads 0.002000 or, through float rounding, one unit off.
void expectTicksWithoutGap(const std::vector<std::vector<double>>& rows, size_t from = 1) {
  for (size_t i = from; i < rows.size(); ++i) {
    ASSERT_NEAR(rows[i][0] - rows[i - 1][0], 0.002, 1.5e-6) << "between rows " << i - 1 << " and " << i;
  }
}

TEST_F(EndToEnd, ExitQuitAndBreakEndTheSessionInOrder) {
  for (const char* word : {"exit", "quit", "break"}) {
    SCOPED_TRACE(word);
    const KorvexRun run = runScript("end.txt", std::string(word) + "\n");
    expectOrderlyEnd(run);
    EXPECT_NE(run.err.find("Initializing TextUI...\n"), std::string::npos);
  }
}

TEST_F(EndToEnd, EndOfInputEndsTheSessionWithoutAWindow) {
  const KorvexRun run = runKorvex("", "pcmode\n");
  expectOrderlyEnd(run);
  EXPECT_NE(run.out.find("KORVEX:> "), std::string::npos);
  EXPECT_NE(run.err.find("cmode=1\n"), std::string::npos) << run.err;
  EXPECT_LT(run.err.find("Error reading user input.\n"), run.err.find("Session ended.\n")) << run.err;
}

// Each typed line waits up to a second for the servo's reply; piped lines go
// on once the reply has arrived, so a long file is not fed in at a line a second.
TEST_F(EndToEnd, PipedLinesDoNotWaitTheFullSecondEach) {
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += "pcmode\n";
  const KorvexRun run = runKorvex("", lines + "exit\n", -1, /*timeoutMs=*/25000);
  expectOrderlyEnd(run);
  EXPECT_EQ(occurrences(run.err, "cmode=1\n"), 40) << run.err;
}

// A script's last lines are answered before the session ends, whatever
// follows them; and the answers before a pause come before its line.
TEST_F(EndToEnd, NoAnswerIsLostAtTheEndOfAScript) {
  for (int i = 0; i < 3; ++i) {
    const KorvexRun run = runScript("float-pcmode-exit.txt", "float\npcmode\nexit\n");
    expectOrderlyEnd(run);
    ASSERT_NE(run.err.find("cmode=1\n"), std::string::npos) << run.err;
    EXPECT_LT(run.err.find("cmode=1\n"), run.err.find("Session ended.\n")) << run.err;
  }
  const KorvexRun waited = runScript("wait.txt", "pcmode\nwait 200\npcmode\nexit\n");
  expectOrderlyEnd(waited);
  // A busy machine may make the servo late; its report is a line of its own.
  std::string answers;
  for (const std::string& line : splitLines(waited.err)) {
    if (line.rfind("Servo late: ", 0) != 0) answers += line + "\n";
  }
  EXPECT_NE(answers.find("cmode=1\nWaiting for 0.2 seconds...Done\ncmode=1\nSession ended.\n"),
            std::string::npos)
      << waited.err;
}

// Thousands of lines queued at once, a robot-type change among the last:
// the servo catches up with all of them before quit ends the session.
TEST_F(EndToEnd, NoAnswerIsLostAfterThousandsOfLines) {
  const char* const lines[] = {
      "pjpos",         "jvel",      "torq",           "pcurtime",  "kp 0 1 2",
      "nosuchword",    "jgoto 1 2", "float",          "njhold",    "setobstacle 1 0.5 0.2 0.3 0.1",
      "delobstacle 1", "vmax 1.5",  "qmax nan inf x", "gripper 1", "pkp"};
  std::string script;
  unsigned seed = 7;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245u + 12345u;
    script += lines[(seed >> 16) % (sizeof lines / sizeof lines[0])];
    script += "\n";
  }
  script += "robottype 3\nfloat\npcmode\nstartplot last.ps\nexit\n";
  const KorvexRun run = runScript("thousands.txt", script);
  expectOrderlyEnd(run);
  const size_t end = run.err.find("Session ended.\n");
  EXPECT_LT(run.err.rfind("cmode=1\n"), end)
      << run.err.substr(run.err.size() > 2000 ? run.err.size() - 2000 : 0);
  EXPECT_LT(run.err.rfind("Plot file saved.\n"), end);
  EXPECT_EQ(occurrences(run.err, "Bad user command 'nosuchword'\n"), occurrences(script, "nosuchword\n"));
}

// Stopped for 300 ms and resumed, the servo makes up about 150 ticks in a
// burst; it says so once on standard error, pdebug gives the total, and the
// session goes on.
TEST_F(EndToEnd, AStoppedProgramReportsTheTicksItMadeUp) {
  const KorvexRun run = runKorvexWhile(
      writeTempFile("late.txt", "wait 3000\npdebug\nexit\n"), "", [](int pid, const std::string& errPath) {
        for (int i = 0; i < 2000 && readTextFile(errPath).find("Entering servoLoop") == std::string::npos;
             ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        kill(pid, SIGSTOP);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(pid, SIGCONT);
      });
  expectOrderlyEnd(run);
  long long largestBurst = 0;
  long long total = -1;
  for (const std::string& line : splitLines(run.err)) {
    long long n = 0;
    if (std::sscanf(line.c_str(), "Servo late: %lld ticks made up", &n) == 1)
      largestBurst = std::max(largestBurst, n);
    std::sscanf(line.c_str(), "ticks made up=%lld", &total);
  }
  EXPECT_GE(largestBurst, 100) << run.err;
  EXPECT_LE(largestBurst, 500) << run.err;  // the simulation never owes more than a second
  EXPECT_GE(total, largestBurst) << run.err;
}

TEST_F(EndToEnd, EveryCommandTableErrorText) {
  struct Case {
    const char* line;
    const char* error;
  };
  const Case cases[] = {
      {"startgather", "Call to StartGather must specify filename."},
      {"startplot", "Call to StartPlot must specify filename."},
      {"plotrate fast", "Plotrate must be an integer specifying milliseconds between plot frames."},
      {"setcontactpoint 4 0 0 0.1", "Error in arguments; expected 10 args"},
      {"applycontactforce 0.5 0", "Error in arguments; expected 3 args"},
      {"gripper open", "Error in arguments; gripper encoder value, as int."},
      {"setemasspos yes", "Error in arguments; setEMassPos expects 1 arg( fOnEE )"},
      {"setmsipos yes", "Error in arguments; setMSIPos expects 1 arg( fOnEE )"},
      {"setifmaxvel yes", "Error in arguments; setIfMaxVelocity expects 1 arg( fIfMaxVel )"},
      {"jgoto 0 0 0", "Error: expected 6 arguments."},
      {"njmove 0 0 0 0 0 400", "Error: joint limits exceeded."},
      {"xtrack 0.5 0 0.5 1 0 0 0", "Error in arguments; expected 8 args (including elbow)"},
      {"goto 0.5 0 0.5", "Error: expected 7 arguments."},
      {"robottype three", "Error in arguments; robottype expects 1 arg"},
      {"vmax fast", "Error in arguments; expected 1 arg"},
      {"qmin 0 0", "Error in arguments; expected 6 args"},
      {"setobstacle 1 0.5 0.5", "Error in arguments; setobstacle expects 5 args( id, x, y, z, r )"},
      {"delobstacle first", "Error in arguments; delObstacle expects 1 arg( id )"},
      {"setline 0 0 0 1 1", "Error in arguments; expected 6 args"},
      {"kp float", "Error in arguments; kp expects a control mode"},
      {"kv jgoto", "Error in arguments; kv expects a control mode"},
      {"kp 8 400 400", "Error in arguments; expected 7 args"},
      {"frobnicate", "Bad user command 'frobnicate'"},
      {"load demo.txt", "Bad user command 'load'"},  // scripts are only loaded at the prompt
  };
  std::string script;
  for (const Case& c : cases) script += std::string(c.line) + "\n";
  script += "quit\n";
  const KorvexRun run = runScript("errors.txt", script);
  expectOrderlyEnd(run);
  for (const Case& c : cases) {
    int expected = 0;  // some texts are shared by several commands
    for (const Case& other : cases) expected += std::string(other.error) == c.error;
    EXPECT_EQ(occurrences(run.err, std::string(c.error) + "\n"), expected) << c.line;
  }
  EXPECT_NE(run.err.find("joint 5 pos = 400.000000\n"), std::string::npos) << run.err;
}

TEST_F(EndToEnd, LoadingAMissingScriptReportsItAndGoesOn) {
  const KorvexRun run = runKorvex("", "load /nonexistent/script.txt\npcmode\nquit\n");
  expectOrderlyEnd(run);
  EXPECT_NE(run.err.find("Error opening script file /nonexistent/script.txt\n"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("cmode=1\n"), std::string::npos) << run.err;
}

TEST_F(EndToEnd, JgotoReachesItsGoal) {
  if (!controlPluginAvailable()) GTEST_SKIP() << "control.dll is not built: the arm cannot be driven";
  const KorvexRun run = runScript("jgoto.txt", "jgoto 10 -30 40 5 20 15\nwait 5000\npjpos\nwait 300\nquit\n");
  expectOrderlyEnd(run);
  const std::vector<double> q = lastPrintedJointPositions(run.err);
  const double goal[] = {10, -30, 40, 5, 20, 15};
  ASSERT_EQ(q.size(), 6u) << run.err;
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(q[i], goal[i], 1.5) << "joint " << i;
}

// The arm starts at q = 0, the elbow on the other side of its singularity
// from the ready pose; goto still arrives at the ready pose's tool-down frame
// (run at twice real time, some 9 s of servo time).
TEST_F(EndToEnd, GotoFromTheStartUpPoseReachesAToolDownFrame) {
  if (!controlPluginAvailable()) GTEST_SKIP() << "control.dll is not built: the arm cannot be driven";
  const double goal[] = {0.690423, 0.0567, 0.150866, 0.173567, 0, 0.984822, 0};
  const KorvexRun run = runScript("goto-startup.txt",
                                  "simspeed 2\ngoto 0.690423 0.0567 0.150866 0.173567 0 0.984822 0\n"
                                  "wait 4500\npxpos\nwait 300\nquit\n");
  expectOrderlyEnd(run);
  const std::vector<double> x = lastPrintedVector(run.err, "x");
  ASSERT_EQ(x.size(), 7u) << run.err;
  EXPECT_LT(std::hypot(x[0] - goal[0], x[1] - goal[1], x[2] - goal[2]), 0.001) << run.err;
  const double cosHalf = std::fabs(x[3] * goal[3] + x[4] * goal[4] + x[5] * goal[5] + x[6] * goal[6]);
  EXPECT_LT(2 * std::acos(std::fmin(1.0, cosHalf)) * 180 / 3.14159265358979, 0.5) << run.err;
  EXPECT_EQ(occurrences(run.err, "another arm configuration"), 1) << run.err;
}

TEST_F(EndToEnd, GatherFileHoldsOneCompleteRowPerTick) {
  const std::string path = tempPath("gather.mat");
  std::remove(path.c_str());
  const KorvexRun run =
      runScript("gather.txt", "float\nstartgather " + path + "\nwait 1000\nstopgather\nwait 200\nquit\n");
  expectOrderlyEnd(run);
  const GatherFile file = readGatherFile(path);
  EXPECT_TRUE(file.everyLineComplete);
  ASSERT_GT(file.rows.size(), 400u);  // about one second at 500 Hz
  EXPECT_LT(file.rows.size(), 800u);
  for (const auto& row : file.rows) ASSERT_EQ(row.size(), static_cast<size_t>(kGatherColumns));
  expectTicksWithoutGap(file.rows);

  const std::string python = "/usr/bin/python3";
  if (std::system((python + " -c 'import numpy' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "numpy is not installed: the numerical-tool check is skipped";
  }
  const std::string shape = tempPath("shape.txt");
  const std::string command = python + " -c \"import numpy; d = numpy.loadtxt('" + path +
                              "'); print(d.shape[0], d.shape[1])\" > " + shape;
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(readTextFile(shape),
            std::to_string(file.rows.size()) + " " + std::to_string(kGatherColumns) + "\n");
}

TEST_F(EndToEnd, SecondStartgatherClosesTheFirstFileWithoutLosingARow) {
  const std::string first = tempPath("first.mat");
  const std::string second = tempPath("second.mat");
  const KorvexRun run = runScript("regather.txt", "startgather " + first + "\nwait 400\nstartgather " +
                                                      second + "\nwait 400\nstopgather\nwait 200\nquit\n");
  expectOrderlyEnd(run);
  GatherFile a = readGatherFile(first);
  const GatherFile b = readGatherFile(second);
  EXPECT_TRUE(a.everyLineComplete);
  EXPECT_TRUE(b.everyLineComplete);
  ASSERT_GT(a.rows.size(), 100u);
  ASSERT_GT(b.rows.size(), 100u);
  a.rows.insert(a.rows.end(), b.rows.begin(), b.rows.end());
  expectTicksWithoutGap(a.rows);
}

TEST_F(EndToEnd, TerminationSignalClosesFilesComplete) {
  const std::string gather = tempPath("signal.mat");
  const std::string plot = tempPath("signal.ps");
  const std::string script =
      "startgather " + gather + "\nstartplot " + plot + "\njgoto 30 -40 60 0 0 0\nwait 60000\nquit\n";
  const KorvexRun run = runKorvex(writeTempFile("signal.txt", script), "", 2500);
  expectOrderlyEnd(run);
  const GatherFile file = readGatherFile(gather);
  EXPECT_TRUE(file.everyLineComplete);
  ASSERT_GT(file.rows.size(), 500u);
  expectTicksWithoutGap(file.rows);
  const std::string ps = readTextFile(plot);
  EXPECT_EQ(ps.substr(ps.size() - 23), std::string(17, ' ') + "%%EOF\n");
  EXPECT_NE(run.err.find("Plot file saved.\n"), std::string::npos) << run.err;
}

TEST_F(EndToEnd, PlotRendersWithGhostscriptToANonBlankPage) {
  if (!controlPluginAvailable()) GTEST_SKIP() << "control.dll is not built: the arm would not move";
  if (std::system("command -v gs >/dev/null 2>&1") != 0) GTEST_SKIP() << "Ghostscript (gs) is not installed";
  const std::string plot = tempPath("arm.ps");
  const KorvexRun run =
      runScript("plot.txt", "plotrate 20\nstartplot " + plot +
                                "\njgoto 40 -60 90 0 0 0\nwait 2000\nstopplot\nwait 200\nquit\n");
  expectOrderlyEnd(run);
  const std::string ps = readTextFile(plot);
  EXPECT_GT(occurrences(ps, "% frame "), 5);
  const std::string bbox = tempPath("arm.bbox");
  const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox '" + plot + "' 2>'" + bbox + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << readTextFile(bbox);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  ASSERT_EQ(std::sscanf(readTextFile(bbox).c_str(), "%%%%BoundingBox: %d %d %d %d", &x0, &y0, &x1, &y1), 4);
  EXPECT_GT(x1 - x0, 100);
  EXPECT_GT(y1 - y0, 100);
}

}  // namespace
