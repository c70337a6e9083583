#include "KorvexRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

bool korvexAvailable(std::string* why) {
  if (access("./korvex", X_OK) == 0) return true;
  *why = "./korvex is not built in the working directory";
  return false;
}

bool controlPluginAvailable() { return access("./control.dll", R_OK) == 0; }

// Named after the running test, so that tests run in parallel never share a file.
std::string tempPath(const std::string& name) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string owner =
      test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "korvex";
  return testing::TempDir() + owner + "-" + name;
}

std::string writeTempFile(const std::string& name, const std::string& text) {
  const std::string path = tempPath(name);
  std::ofstream(path) << text;
  return path;
}

std::string readTextFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

namespace {
KorvexRun runProgram(const std::string& scriptPath, const std::string& stdinText, int terminateAfterMs,
                     int timeoutMs, const std::function<void(int, const std::string&)>& whileRunning) {
  const std::string inPath = writeTempFile("stdin.txt", stdinText);
  const std::string outPath = tempPath("stdout.txt");
  const std::string errPath = tempPath("stderr.txt");
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (scriptPath.empty()) {
      execl("./korvex", "korvex", "--no-gui", static_cast<char*>(nullptr));
    } else {
      execl("./korvex", "korvex", "--no-gui", "--script", scriptPath.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  KorvexRun run;
  if (whileRunning) whileRunning(pid, errPath);
  const auto begin = std::chrono::steady_clock::now();
  bool terminated = false;
  int status = 0;
  for (;;) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin)
            .count();
    if (terminateAfterMs >= 0 && !terminated && elapsed >= terminateAfterMs) {
      kill(pid, SIGTERM);
      terminated = true;
    }
    if (elapsed >= timeoutMs) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  run.status = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  run.out = readTextFile(outPath);
  run.err = readTextFile(errPath);
  return run;
}
}  // namespace

KorvexRun runKorvex(const std::string& scriptPath, const std::string& stdinText, int terminateAfterMs,
                    int timeoutMs) {
  return runProgram(scriptPath, stdinText, terminateAfterMs, timeoutMs, nullptr);
}

KorvexRun runKorvexWhile(const std::string& scriptPath, const std::string& stdinText,
                         const std::function<void(int pid, const std::string& errPath)>& whileRunning,
                         int timeoutMs) {
  return runProgram(scriptPath, stdinText, -1, timeoutMs, whileRunning);
}

int occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
