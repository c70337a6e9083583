// A pause too long for the clock (found by fuzzing the script reader) waits
// until the session ends instead of overflowing the deadline.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "utility/CommandDispatcher.h"
#include "utility/ScriptReader.h"

namespace {

class EndingDispatcher : public CommandDispatcher {
 public:
  bool processCommand(const char* /*commandStr*/, char* /*reply*/) override {
    ++lines;
    return true;
  }
  bool sessionOver() const override { return over; }
  std::atomic<int> lines{0};
  std::atomic<bool> over{false};
};

TEST(ScriptWaitLimit, HugePausesWaitForTheSessionEndWithoutOverflow) {
  for (const char* argument : {"9223372036854775807", "99999999999999999999999", "9223372036854"}) {
    const std::string path = testing::TempDir() + "huge-wait.txt";
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f, "wait %s\njpos\n", argument);
    std::fclose(f);

    EndingDispatcher console;
    ScriptReader reader(&console);
    const auto start = std::chrono::steady_clock::now();
    std::thread ender([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      console.over = true;
    });
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    reader.run(name.data());
    ender.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100)) << argument;
    EXPECT_EQ(console.lines, 0) << "the session ended during the pause: " << argument;
  }
}

}  // namespace
