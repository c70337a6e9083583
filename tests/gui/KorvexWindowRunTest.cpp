// The whole program with its window on the test's private display: commands
// typed at the console while the window refreshes, then "exit" from the
// console thread ends the session through the window.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "GuiTestEnvironment.h"

namespace {
namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(KorvexWindowRun, ConsoleExitEndsTheWindowAndWritesItsLayout) {
  guiApplication();  // DISPLAY now names the private Xvfb
  const fs::path runDir = fs::current_path();
  const fs::path dir =
      fs::temp_directory_path() / ("korvex-window-" + std::to_string(getpid()) + "-" +
                                   testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const char* name : {"Configuration.dat", "puma560.prm", "control.dll"})
    fs::create_symlink(runDir / name, dir / name);

  int input[2];
  ASSERT_EQ(pipe(input), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    chdir(dir.c_str());
    dup2(input[0], 0);
    close(input[1]);
    const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    const std::string program = (runDir / "korvex").string();
    execl(program.c_str(), "korvex", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  const char* lines[] = {"float\n",       "startgather window.mat\n",  "jmove 10 -20 30 0 0 0\n",
                         "robottype 4\n", "goto 0.4 0.1 0.5 0 90 0\n", "stopgather\n",
                         "exit\n"};
  for (const char* line : lines) {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    ASSERT_EQ(write(input[1], line, strlen(line)), static_cast<ssize_t>(strlen(line)));
  }

  int status = 0;
  const auto begin = std::chrono::steady_clock::now();
  while (waitpid(pid, &status, WNOHANG) != pid) {
    if (std::chrono::steady_clock::now() - begin > std::chrono::seconds(60)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      FAIL() << "korvex did not end; stderr:\n" << readText(dir / "stderr.txt");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  close(input[1]);
  const std::string err = readText(dir / "stderr.txt");
  const std::string out = readText(dir / "stdout.txt");
  ASSERT_TRUE(WIFEXITED(status)) << err;
  EXPECT_EQ(WEXITSTATUS(status), 0) << err;
  EXPECT_NE(out.find("Exiting."), std::string::npos) << out;
  EXPECT_EQ(err.find("QObject"), std::string::npos) << err;
  EXPECT_EQ(err.find("thread"), std::string::npos) << err;
  EXPECT_EQ(err.find("no window"), std::string::npos) << err;
  EXPECT_GT(fs::file_size(dir / "config"), 0u);
  EXPECT_GT(fs::file_size(dir / "window.mat"), 0u);
  fs::remove_all(dir);
}

}  // namespace
