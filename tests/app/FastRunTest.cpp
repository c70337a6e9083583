// The real program unpaced (korvex --no-gui --fast), each run in a fresh
// directory as a user would start it: deterministic output, waits in
// simulated time, and the refusal of a window.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "KorvexRun.h"

namespace {

namespace fs = std::filesystem;

struct FastRun {
  int status = -1;
  std::string out, err;
  fs::path dir;
};

// Runs "korvex ARGS < /dev/null" in a fresh directory named name that holds
// copies of the run directory's files and, when given, the script.
FastRun runFresh(const std::string& name, const std::string& args, const std::string& script = "") {
  FastRun run;
  run.dir = fs::path(tempPath(name));
  fs::remove_all(run.dir);
  fs::create_directories(run.dir);
  for (const char* f : {"Configuration.dat", "puma560.prm", "control.dll", "demo.txt"}) {
    fs::copy_file(f, run.dir / f);
  }
  if (!script.empty()) std::ofstream(run.dir / "script.txt") << script;
  const std::string korvex = (fs::current_path() / "korvex").string();
  const std::string cmd = "cd '" + run.dir.string() + "' && timeout 120 '" + korvex + "' " + args +
                          " </dev/null >stdout.txt 2>stderr.txt";
  const int raw = std::system(cmd.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readTextFile((run.dir / "stdout.txt").string());
  run.err = readTextFile((run.dir / "stderr.txt").string());
  return run;
}

// Milliseconds of "wait" between the line starting with from and the one starting with to.
long waitedBetween(const std::string& script, const std::string& from, const std::string& to) {
  long ms = 0;
  bool inside = false;
  for (const std::string& line : splitLines(script)) {
    if (line.rfind(from, 0) == 0) inside = true;
    if (line.rfind(to, 0) == 0) break;
    if (inside && line.rfind("wait ", 0) == 0) ms += std::atol(line.c_str() + 5);
  }
  return ms;
}

class FastRunTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!korvexAvailable(&why)) GTEST_SKIP() << why;
    if (!controlPluginAvailable()) GTEST_SKIP() << "control.dll is not built: the demo would not move";
  }
};

TEST_F(FastRunTest, TheDemoTwiceGivesIdenticalGatherFilesAndTextWithATickPerRow) {
  const FastRun first = runFresh("first", "--no-gui --fast --script demo.txt");
  const FastRun second = runFresh("second", "--no-gui --fast --script demo.txt");
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(second.status, 0) << second.err;
  const std::string gather = readTextFile((first.dir / "demo.mat").string());
  EXPECT_EQ(gather, readTextFile((second.dir / "demo.mat").string())) << "gather files differ";
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(first.err, second.err);

  // Every wait is exactly its simulated time and lines take none, so the
  // gather holds one row per tick of the waits between start and stop.
  const long ms = waitedBetween(readTextFile("demo.txt"), "startgather", "stopgather");
  const std::vector<std::string> rows = splitLines(gather);
  ASSERT_EQ(long(rows.size()), ms / 2);
  for (size_t i = 1; i < rows.size(); ++i) {
    const double dt = std::atof(rows[i].c_str()) - std::atof(rows[i - 1].c_str());
    ASSERT_NEAR(dt, 0.002, 1.5e-6) << "between rows " << i - 1 << " and " << i;
  }
  // The text is whole and in order: every wait done before the session ends.
  EXPECT_EQ(occurrences(first.err, "Done\n"), occurrences(readTextFile("demo.txt"), "\nwait "));
  EXPECT_LT(first.err.rfind("Done\n"), first.err.find("Error reading user input.")) << first.err;
  EXPECT_EQ(first.out.substr(first.out.size() - 9), "Exiting.\n");
}

TEST_F(FastRunTest, WaitCountsSimulatedTimeAndLinesTakeNone) {
  const FastRun run = runFresh("wait", "--no-gui --fast --script script.txt",
                               "pcurtime\nwait 1000\npcurtime\njhold\npcurtime\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream text(run.err);
  std::vector<double> times;
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && (std::isdigit(static_cast<unsigned char>(line[0])) != 0))
      times.push_back(std::atof(line.c_str()));
  }
  ASSERT_EQ(times.size(), 3u) << run.err;
  EXPECT_EQ(times[0], 0.0) << "no tick before the first line";
  EXPECT_NEAR(times[1] - times[0], 1.0, 1e-4);
  EXPECT_EQ(times[2], times[1]);
  EXPECT_NE(run.err.find("Waiting for 1.0 seconds...Done\n"), std::string::npos) << run.err;
}

TEST_F(FastRunTest, PipedLinesAnswerInOrderWithNoSimulatedTimeBetweenThem) {
  // The same lines typed (piped) and scripted give the same servo text.
  const std::string lines = "jgoto 10 -40 150 0 40 0\npjpos\n";
  const FastRun scripted =
      runFresh("scripted", "--no-gui --fast --script script.txt", lines + "wait 500\npjpos\n");
  const fs::path dir = fs::path(tempPath("piped"));
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const char* f : {"Configuration.dat", "puma560.prm", "control.dll"}) fs::copy_file(f, dir / f);
  std::ofstream(dir / "in.txt") << lines << "wait 500\npjpos\n";
  const std::string cmd = "cd '" + dir.string() + "' && timeout 120 '" +
                          (fs::current_path() / "korvex").string() +
                          "' --no-gui --fast <in.txt >stdout.txt 2>stderr.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string piped = readTextFile((dir / "stderr.txt").string());
  ASSERT_EQ(scripted.status, 0) << scripted.err;
  // Piped, "wait" is not a console command; the scripted run waited.
  EXPECT_NE(piped.find("Bad user command 'wait'"), std::string::npos) << piped;
  const auto qLines = [](const std::string& text) {
    std::string out;
    for (const std::string& line : splitLines(text))
      if (line.rfind("q = ", 0) == 0) out += line + "\n";
    return out;
  };
  const std::vector<std::string> scriptedQ = splitLines(qLines(scripted.err));
  const std::vector<std::string> pipedQ = splitLines(qLines(piped));
  ASSERT_EQ(scriptedQ.size(), 2u) << scripted.err;
  ASSERT_EQ(pipedQ.size(), 2u) << piped;
  EXPECT_EQ(scriptedQ[0], pipedQ[0]);
  EXPECT_EQ(pipedQ[0], pipedQ[1]) << "no simulated time passes between piped lines";
  EXPECT_NE(scriptedQ[0], scriptedQ[1]) << "the script's wait let the arm move";
}

TEST(FastRunRefusal, FastNeedsNoGuiAndOneProcess) {
  std::string why;
  if (!korvexAvailable(&why)) GTEST_SKIP() << why;
  for (const char* args : {"--fast", "--fast --connect 127.0.0.1:1", "--servo-only --fast"}) {
    const FastRun run = runFresh("refusal", args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.err.find("korvex: --fast"), std::string::npos) << args << ": " << run.err;
    EXPECT_EQ(run.err.find("Initializing TextUI"), std::string::npos) << "refused before anything starts";
  }
}

}  // namespace
