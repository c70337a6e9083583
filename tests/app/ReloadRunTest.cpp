// The real program, headless, with its console fed line by line: a plug-in
// replaced on disk takes over at "reload" while the arm goes on, and a file
// cut short leaves the running laws in place. Under ThreadSanitizer this is the
// reload racing the servo's ticks, the console and the listener.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ConsoleText.h"
#include "KorvexRun.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string testPlugin(const char* name) { return std::string(KORVEX_TEST_PLUGIN_DIR) + "/" + name + ".so"; }

// korvex --no-gui in a run directory of its own, its standard input a pipe.
class ConsoleSession {
 public:
  explicit ConsoleSession(const fs::path& runDir) : m_err(runDir / "stderr.txt") {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    const std::string out = (runDir / "stdout.txt").string(), err = m_err.string();
    m_pid = fork();
    if (m_pid == 0) {
      if (chdir(runDir.c_str()) != 0) _exit(127);
      dup2(pipeEnds[0], 0);
      dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
      close(pipeEnds[1]);
      execl("./korvex", "korvex", "--no-gui", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipeEnds[0]);
    m_input = pipeEnds[1];
  }
  ~ConsoleSession() {
    if (m_input >= 0) close(m_input);
    if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
  }
  void type(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(m_input, text.data(), text.size()), ssize_t(text.size()));
  }
  std::string err() const { return readTextFile(m_err.string()); }
  // Polls standard error until it holds `text` `count` times.
  bool waitFor(const std::string& text, int count = 1, int timeoutMs = 30000) const {
    const auto start = Clock::now();
    while (occurrences(err(), text) < count) {
      if (Clock::now() - start > std::chrono::milliseconds(timeoutMs)) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }
  // Ends standard input and waits for the exit status (-1: killed or signalled).
  int finish(int timeoutMs = 30000) {
    close(m_input);
    m_input = -1;
    const auto start = Clock::now();
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) != m_pid) {
      if (Clock::now() - start > std::chrono::milliseconds(timeoutMs)) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  fs::path m_err;
  pid_t m_pid = -1;
  int m_input = -1;
};

constexpr double kGoal[6] = {20, -40, 150, 10, 40, 10};

double goalError(const std::vector<double>& q) {
  if (q.size() != 6) return 1e9;
  double worst = 0;
  for (int i = 0; i < 6; ++i) worst = std::fmax(worst, std::fabs(q[i] - kGoal[i]));
  return worst;
}

TEST(ReloadRun, ReplacedPluginTakesOverAtReloadAndOneCutShortIsRefused) {
  std::string why;
  if (!korvexAvailable(&why)) GTEST_SKIP() << why;
  const fs::path run = tempPath("run");
  fs::remove_all(run);
  fs::create_directories(run);
  for (const char* file : {"korvex", "Configuration.dat", "puma560.prm"})
    fs::create_symlink(fs::absolute(file), run / file);
  const fs::path dll = run / "control.dll";
  fs::copy_file(testPlugin("versioned_plugin_1"), dll);

  ConsoleSession korvex(run);
  korvex.type("jgoto 20 -40 150 10 40 10");
  korvex.type("pjpos");
  ASSERT_TRUE(korvex.waitFor("q = (")) << korvex.err();
  EXPECT_GT(goalError(lastPrintedJointPositions(korvex.err())), 10) << "version 1 only floats";

  // Rewritten in place, as cp does, under the running program.
  {
    std::ifstream in(testPlugin("versioned_plugin_2"), std::ios::binary);
    std::ofstream out(dll, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
  }
  korvex.type("reload");
  ASSERT_TRUE(korvex.waitFor("Reloaded ./control.dll; mode jgoto started again.\n")) << korvex.err();
  double error = 1e9;
  for (int asked = 2; error > 2.0 && asked < 200; ++asked) {
    korvex.type("pjpos");
    ASSERT_TRUE(korvex.waitFor("q = (", asked)) << korvex.err();
    error = goalError(lastPrintedJointPositions(korvex.err()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_LT(error, 2.0) << "version 2 drives the arm to the goal:\n" << korvex.err();

  // Half of a library, as a build still writing it leaves it: the loader
  // would fault on the missing part.
  fs::resize_file(dll, fs::file_size(dll) / 2);
  korvex.type("reload");
  ASSERT_TRUE(korvex.waitFor("Reload refused: ./control.dll is cut short (")) << korvex.err();
  korvex.type("pcmode");
  ASSERT_TRUE(korvex.waitFor("cmode=10\n")) << korvex.err();
  EXPECT_EQ(korvex.finish(), 0) << korvex.err();
  EXPECT_EQ(occurrences(korvex.err(), "Session ended.\n"), 1) << korvex.err();
  fs::remove_all(run);
}

}  // namespace
