// The program started with its standard input closed: the descriptor must not
// go to the first file it opens (Configuration.dat, puma560.prm, the plug-in's
// copy), which the console thread would then read as typed lines.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <string>
#include <thread>

#include "app/StandardStreams.h"
#include "tests/app/KorvexRun.h"

namespace {

std::string descriptorTarget(pid_t pid, int fd) {
  const std::string link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd);
  char target[PATH_MAX] = "";
  const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, size_t(n)) : std::string("(closed)");
}

// In a child, since it closes its own standard streams: each closed one comes
// back on /dev/null, an open one is left alone, and the next file opened gets
// a descriptor above them. The exit status carries the first broken promise.
int childClosingAndReopening(bool closeInput, bool closeOutput, bool closeError) {
  const pid_t pid = fork();
  if (pid == 0) {
    const std::string outputBefore = descriptorTarget(getpid(), 1);
    if (closeInput) close(STDIN_FILENO);
    if (closeOutput) close(STDOUT_FILENO);
    if (closeError) close(STDERR_FILENO);
    openClosedStandardStreams();
    if (descriptorTarget(getpid(), 0) != (closeInput ? "/dev/null" : descriptorTarget(getppid(), 0)))
      _exit(10);
    if (descriptorTarget(getpid(), 1) != (closeOutput ? "/dev/null" : outputBefore)) _exit(11);
    if (closeError && descriptorTarget(getpid(), 2) != "/dev/null") _exit(12);
    const int file = open("/proc/self/exe", O_RDONLY);
    _exit(file > 2 ? 0 : 13);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ClosedStandardStreams, EachClosedStreamIsReopenedOnDevNullAndAnOpenOneIsKept) {
  EXPECT_EQ(childClosingAndReopening(true, false, false), 0);
  EXPECT_EQ(childClosingAndReopening(false, true, false), 0);  // a hole below an open stream
  EXPECT_EQ(childClosingAndReopening(true, true, true), 0);
  EXPECT_EQ(childClosingAndReopening(false, false, false), 0);
}

// The real program, as a user would start it from a launcher that closes
// standard input.
TEST(ClosedStandardStreams, AClosedStandardInputReadsAsEmptyAndNoFileTakesItsPlace) {
  std::string why;
  if (!korvexAvailable(&why)) GTEST_SKIP() << why;
  const std::string script = writeTempFile("closed-stdin.txt", "pjpos\nwait 3000\npjpos\n");
  const std::string outPath = tempPath("closed-stdin.out");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(out, STDERR_FILENO) < 0) _exit(126);
    close(out);
    close(STDIN_FILENO);
    execl("./korvex", "korvex", "--no-gui", "--script", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Once the first answer is out, the servo has read its files and loaded the
  // plug-in, and the script's wait keeps the program alive for a while yet.
  // ("Waiting for" is no sign: it is held until its line ends, after the wait.)
  for (int i = 0; i < 600 && readTextFile(outPath).find("q = (") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::string input = descriptorTarget(pid, 0);
  int status = 0;
  for (int i = 0; i < 600 && waitpid(pid, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "the program did not end at the end of its (empty) input";
  }
  EXPECT_EQ(input, "/dev/null");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::string out = readTextFile(outPath);
  const size_t first = out.find("q = (");
  EXPECT_TRUE(first != std::string::npos && out.find("q = (", first + 1) != std::string::npos)
      << out;  // the script ran to its end
}

}  // namespace
