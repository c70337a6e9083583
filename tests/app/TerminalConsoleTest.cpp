// The real program at a terminal: keys typed into a pseudo-terminal, as a
// person types them at the KORVEX:> prompt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "KorvexRun.h"

namespace {

constexpr int kWaitMs = 15000;

// ./korvex --no-gui on a fresh pseudo-terminal, with its own history file.
class TerminalKorvex {
 public:
  explicit TerminalKorvex(const std::string& historyPath) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 200;  // wide enough for a long file name on one line
    m_pid = forkpty(&m_master, nullptr, nullptr, &size);
    if (m_pid == 0) {
      setenv("KORVEX_HISTORY", historyPath.c_str(), 1);
      unsetenv("DISPLAY");
      unsetenv("WAYLAND_DISPLAY");
      execl("./korvex", "korvex", "--no-gui", static_cast<char*>(nullptr));
      _exit(127);
    }
  }

  ~TerminalKorvex() {
    if (m_pid > 0 && !m_exited) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_master >= 0) close(m_master);
  }

  bool started() const { return m_pid > 0; }

  void type(const std::string& keys) {
    ASSERT_EQ(write(m_master, keys.data(), keys.size()), ssize_t(keys.size()));
  }

  // Reads until text has appeared count times in all output so far; false on timeout or end.
  bool waitFor(const std::string& text, int count = 1) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (occurrences(m_output, text) < count) {
      if (std::chrono::steady_clock::now() > deadline || !readSome(100)) return false;
    }
    return true;
  }

  // Waits for the prompt and for the line editor to hold the terminal: keys
  // typed before that reach the terminal's own line discipline, which
  // swallows a Ctrl-D as an end of file nobody reads.
  bool waitForPrompt(int count = 1) {
    if (!waitFor("KORVEX:> ", count)) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    for (termios mode{}; tcgetattr(m_master, &mode) == 0 && (mode.c_lflag & ICANON) != 0;) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  // Waits for the program to end; its exit status, or -1 (killed when it has not ended in time).
  int finish() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    int status = 0;
    for (;;) {
      readSome(50);
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) break;
      if (std::chrono::steady_clock::now() > deadline) return -1;  // the destructor kills it
    }
    m_exited = true;
    while (readSome(0)) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  const std::string& output() const { return m_output; }

 private:
  // False once the program has closed its terminal.
  bool readSome(int timeoutMs) {
    pollfd in{m_master, POLLIN, 0};
    const int ready = poll(&in, 1, timeoutMs);
    if (ready == 0) return timeoutMs > 0;
    char buffer[4096];
    const ssize_t n = read(m_master, buffer, sizeof buffer);
    if (n <= 0) return false;
    m_output.append(buffer, n);
    return true;
  }

  pid_t m_pid = -1;
  int m_master = -1;
  bool m_exited = false;
  std::string m_output;
};

class TerminalConsole : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!korvexAvailable(&why)) GTEST_SKIP() << why;
    m_history = tempPath("history");
    std::remove(m_history.c_str());
  }

  static void expectOrderlyEnd(TerminalKorvex& korvex) {
    EXPECT_EQ(korvex.finish(), 0) << korvex.output();
    EXPECT_EQ(occurrences(korvex.output(), "Session ended."), 1) << korvex.output();
    EXPECT_NE(korvex.output().find("Exiting."), std::string::npos) << korvex.output();
  }

  std::string m_history;
};

TEST_F(TerminalConsole, TabCompletesACommandWordAndAScriptNameThatThenRun) {
  const std::string script = writeTempFile("printgains.txt", "pkp\n");
  TerminalKorvex korvex(m_history);
  ASSERT_TRUE(korvex.started());
  ASSERT_TRUE(korvex.waitForPrompt());
  korvex.type("pcm\t\r");
  EXPECT_TRUE(korvex.waitFor("cmode=1")) << korvex.output();
  ASSERT_TRUE(korvex.waitForPrompt(2));
  // The file name completes as far as it is unique; load then finds the file.
  korvex.type("load " + script.substr(0, script.size() - 8) + "\t\r");
  EXPECT_TRUE(korvex.waitFor("kp = (")) << korvex.output();
  EXPECT_EQ(occurrences(korvex.output(), "Error opening script file"), 0) << korvex.output();
  ASSERT_TRUE(korvex.waitForPrompt(3));
  korvex.type("ex\t\r");
  expectOrderlyEnd(korvex);
}

TEST_F(TerminalConsole, UpArrowAndCtrlRRecallLinesThatOutliveTheRun) {
  {
    TerminalKorvex korvex(m_history);
    ASSERT_TRUE(korvex.started());
    ASSERT_TRUE(korvex.waitForPrompt());
    korvex.type("pcmode\r");
    ASSERT_TRUE(korvex.waitForPrompt(2)) << korvex.output();
    korvex.type("\x1b[A\r");  // Up, Enter: pcmode again
    EXPECT_TRUE(korvex.waitFor("cmode=1", 2)) << korvex.output();
    ASSERT_TRUE(korvex.waitForPrompt(3));
    korvex.type("pkp\r");
    ASSERT_TRUE(korvex.waitForPrompt(4));
    korvex.type(
        "\x12"
        "cmo\r");  // Ctrl-R searches back past pkp to pcmode
    EXPECT_TRUE(korvex.waitFor("cmode=1", 3)) << korvex.output();
    ASSERT_TRUE(korvex.waitForPrompt(5));
    korvex.type("exit\r");
    expectOrderlyEnd(korvex);
  }
  // The next run starts with the last one's lines: Up recalls exit.
  TerminalKorvex korvex(m_history);
  ASSERT_TRUE(korvex.started());
  ASSERT_TRUE(korvex.waitForPrompt());
  korvex.type("\x1b[A\r");
  expectOrderlyEnd(korvex);
}

TEST_F(TerminalConsole, CtrlCAndCtrlDAtThePromptEndTheSessionInOrder) {
  {
    TerminalKorvex korvex(m_history);
    ASSERT_TRUE(korvex.started());
    ASSERT_TRUE(korvex.waitForPrompt());
    korvex.type("pcm");  // half a line typed
    ASSERT_TRUE(korvex.waitFor("pcm"));
    korvex.type("\x03");
    expectOrderlyEnd(korvex);
    EXPECT_EQ(occurrences(korvex.output(), "cmode="), 0) << "the half line ran";
  }
  TerminalKorvex korvex(m_history);
  ASSERT_TRUE(korvex.started());
  ASSERT_TRUE(korvex.waitForPrompt());
  korvex.type("\x04");  // end of input: without a window that ends the session
  EXPECT_TRUE(korvex.waitFor("Error reading user input.")) << korvex.output();
  expectOrderlyEnd(korvex);
}

TEST_F(TerminalConsole, HelpAnswersAtThePrompt) {
  TerminalKorvex korvex(m_history);
  ASSERT_TRUE(korvex.started());
  ASSERT_TRUE(korvex.waitForPrompt());
  korvex.type("help jgoto\r");
  EXPECT_TRUE(korvex.waitFor("Example: jgoto 0 -45 135 0 45 0")) << korvex.output();
  ASSERT_TRUE(korvex.waitForPrompt(2));
  korvex.type("jgto 0 0 0 0 0 0\r");
  EXPECT_TRUE(korvex.waitFor("did you mean: jgoto?")) << korvex.output();
  ASSERT_TRUE(korvex.waitForPrompt(3));
  korvex.type("quit\r");
  expectOrderlyEnd(korvex);
}

}  // namespace
