#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "utility/CommandDispatcher.h"
#include "utility/ScriptReader.h"

namespace {

class RecordingDispatcher : public CommandDispatcher {
 public:
  bool processCommand(const char* commandStr, char* /*reply*/) override {
    lines.emplace_back(commandStr);
    if (endSessionOn == commandStr) over = true;
    return true;
  }
  bool sessionOver() const override { return over; }

  std::vector<std::string> lines;
  std::string endSessionOn = "<never>";
  std::atomic<bool> over{false};
};

std::string writeScript(const char* name, const std::string& text) {
  const std::string path = testing::TempDir() + name;
  std::FILE* f = std::fopen(path.c_str(), "w");
  std::fputs(text.c_str(), f);
  std::fclose(f);
  return path;
}

void runScript(ScriptReader& reader, std::string name) {
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  reader.run(buffer.data());
}

TEST(ScriptReader, HandsEveryLineUnchangedToTheDispatcher) {
  RecordingDispatcher console;
  ScriptReader reader(&console);
  runScript(reader, writeScript("lines.txt", "float\n\n  jgoto 0 1 2 3 4 5\nbogus\nlast"));
  EXPECT_EQ(console.lines,
            (std::vector<std::string>{"float\n", "\n", "  jgoto 0 1 2 3 4 5\n", "bogus\n", "last"}));
}

TEST(ScriptReader, NameIsCutAtTheLineFeedInTheCallersBuffer) {
  RecordingDispatcher console;
  ScriptReader reader(&console);
  const std::string path = writeScript("cut.txt", "float\n");
  std::vector<char> buffer(path.begin(), path.end());
  for (char c : std::string("\nignored")) buffer.push_back(c);
  buffer.push_back('\0');
  reader.run(buffer.data());
  EXPECT_EQ(std::string(buffer.data()), path);
  EXPECT_EQ(console.lines.size(), 1u);
}

TEST(ScriptReader, LongLinesArriveInChunksOf255Characters) {
  RecordingDispatcher console;
  ScriptReader reader(&console);
  const std::string longLine(300, 'x');
  runScript(reader, writeScript("long.txt", longLine + "\n"));
  ASSERT_EQ(console.lines.size(), 2u);
  EXPECT_EQ(console.lines[0], std::string(255, 'x'));
  EXPECT_EQ(console.lines[1], std::string(45, 'x') + "\n");
}

TEST(ScriptReader, MissingOrEmptyFiles) {
  RecordingDispatcher console;
  ScriptReader reader(&console);
  testing::internal::CaptureStderr();
  runScript(reader, "/nonexistent/script.txt\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error opening script file /nonexistent/script.txt\n");

  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  runScript(reader, writeScript("empty.txt", ""));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(console.lines.empty());
}

TEST(ScriptReader, WaitPausesAndReportsInOneLine) {
  RecordingDispatcher console;
  ScriptReader reader(&console);
  const std::string path = writeScript("wait.txt", "wait 200\nfloat\n");
  testing::internal::CaptureStdout();
  const auto begin = std::chrono::steady_clock::now();
  runScript(reader, path);
  const auto elapsed = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Waiting for 0.2 seconds...Done\n");
  EXPECT_GE(elapsed, std::chrono::milliseconds(200));
  EXPECT_EQ(console.lines, std::vector<std::string>{"float\n"});
}

TEST(ScriptReader, BadWaitArgumentsAreReportedAndSkipped) {
  RecordingDispatcher console;
  ScriptReader reader(&console);
  const std::string path = writeScript("badwait.txt", "wait\nwait abc\nwait -5\nfloat\nwait");
  testing::internal::CaptureStderr();
  const auto begin = std::chrono::steady_clock::now();
  runScript(reader, path);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(100));
  const std::string bad = "Bad argument to 'wait' command.\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), bad + bad + bad + bad);
  EXPECT_EQ(console.lines, std::vector<std::string>{"float\n"});
}

TEST(ScriptReader, StopsWhenTheSessionEnds) {
  RecordingDispatcher console;
  console.endSessionOn = "quit\n";
  ScriptReader reader(&console);
  testing::internal::CaptureStdout();
  const auto begin = std::chrono::steady_clock::now();
  runScript(reader, writeScript("quit.txt", "float\nquit\nwait 5000\nfloat\n"));
  testing::internal::GetCapturedStdout();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(1000));
  EXPECT_EQ(console.lines, (std::vector<std::string>{"float\n", "quit\n"}));
}

TEST(ScriptReaderDeathTest, NullFileNameIsAPreconditionFailure) {
  RecordingDispatcher console;
  ScriptReader reader(&console);
  EXPECT_DEATH(reader.run(nullptr), "filename != NULL");
}

}  // namespace
