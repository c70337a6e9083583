#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/ConsoleInput.h"

namespace {

struct Pipe {
  Pipe() { EXPECT_EQ(pipe(fds), 0); }
  ~Pipe() {
    close(fds[0]);
    if (fds[1] >= 0) close(fds[1]);
  }
  void write(const std::string& text) {
    EXPECT_EQ(::write(fds[1], text.data(), text.size()), ssize_t(text.size()));
  }
  void closeWriter() {
    close(fds[1]);
    fds[1] = -1;
  }
  int fds[2] = {-1, -1};
};

const auto kNever = [] { return false; };

TEST(ConsoleInput, LinesComeOutLikeFgets) {
  Pipe pipe;
  pipe.write("float\nkp 8 1 2\n" + std::string(300, 'x') + "\nlast");
  pipe.closeWriter();
  ConsoleInput input(pipe.fds[0]);
  char line[256];
  ASSERT_EQ(input.readLine(line, sizeof line, kNever), ConsoleInput::kLine);
  EXPECT_STREQ(line, "float\n");
  ASSERT_EQ(input.readLine(line, sizeof line, kNever), ConsoleInput::kLine);
  EXPECT_STREQ(line, "kp 8 1 2\n");
  ASSERT_EQ(input.readLine(line, sizeof line, kNever), ConsoleInput::kLine);
  EXPECT_EQ(std::string(line), std::string(255, 'x'));
  ASSERT_EQ(input.readLine(line, sizeof line, kNever), ConsoleInput::kLine);
  EXPECT_EQ(std::string(line), std::string(45, 'x') + "\n");
  ASSERT_EQ(input.readLine(line, sizeof line, kNever), ConsoleInput::kLine);
  EXPECT_STREQ(line, "last");
  EXPECT_EQ(input.readLine(line, sizeof line, kNever), ConsoleInput::kEndOfInput);
}

TEST(ConsoleInput, AStopRequestEndsAWaitForInput) {
  Pipe pipe;
  ConsoleInput input(pipe.fds[0]);
  std::atomic<bool> stop{false};
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stop = true;
  });
  char line[256];
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(input.readLine(line, sizeof line, [&] { return stop.load(); }), ConsoleInput::kStopped);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
  stopper.join();
}

TEST(ConsoleInput, APartLineWaitsForTheRest) {
  Pipe pipe;
  ConsoleInput input(pipe.fds[0]);
  std::thread writer([&] {
    pipe.write("jgo");
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    pipe.write("to 1\n");
  });
  char line[256];
  ASSERT_EQ(input.readLine(line, sizeof line, kNever), ConsoleInput::kLine);
  EXPECT_STREQ(line, "jgoto 1\n");
  writer.join();
}

}  // namespace
