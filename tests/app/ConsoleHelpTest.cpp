// help against what the console accepts: the console runs against a stand-in
// servo (the test drains its requests), and every word's printed example must
// be accepted while the same line one value short is refused.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "KorvexRun.h"
#include "StandInConfiguration.h"
#include "app/CommandHandlers.h"
#include "app/CommandTable.h"
#include "app/NearestWords.h"
#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "protocol/GainsRecord.h"
#include "servo/Session.h"
#include "utility/MesgQueue.h"

namespace {

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

class ConsoleHelp : public testing::Test {
 protected:
  void SetUp() override {
    m_agent = std::make_unique<UiAgent>();
    m_servo = std::make_unique<ServoAgent>();
    m_ui = std::make_unique<TextUI>(m_servo.get());
    // The stand-in servo answers between lines, not while quit waits for it.
    m_ui->setRepliesPolledByCaller(true);
  }

  void TearDown() override {
    m_ui.reset();
    m_servo.reset();
    m_agent.reset();
    MesgQueue::releaseAllCollections();
    beginSession();
  }

  // The servo's report of an arm with dof joints and parms configuration
  // parameters, limits of +-160 degrees, and gains for every mode.
  void reportArm(int robotType, int dof, int parms, int gains) {
    CMsg msg;
    writeServoConfiguration(msg, standInConfiguration(robotType, dof, parms));
    m_agent->reply(msg, 2);
    PrVector ones(gains);
    for (int i = 0; i < gains; ++i) ones[i] = 1.0f;
    for (int mode = 0; mode < kNumControlModes; ++mode) {
      writeGains(msg, mode, ones, ones);
      m_agent->reply(msg, 2);
    }
    m_ui->pollServoMessages();
  }

  // Runs one line; its standard output and error go into out and err.
  bool run(const std::string& line, std::string* out = nullptr, std::string* err = nullptr,
           std::string* reply = nullptr) {
    char text[CommandDispatcher::kReplySize] = "";
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok = m_ui->processCommand(line.c_str(), text);
    const std::string printedOut = testing::internal::GetCapturedStdout();
    const std::string printedErr = testing::internal::GetCapturedStderr();
    if (out != nullptr) *out = printedOut;
    if (err != nullptr) *err = printedErr;
    if (reply != nullptr) *reply = text;
    while (m_agent->poll()) m_agent->read();  // the stand-in servo takes every request
    return ok;
  }

  static std::map<std::string, Command> table() {
    std::map<std::string, Command> commands;
    registerCommands(commands);
    return commands;
  }

  // The "Example: " line of "help word", with file names moved to the test's
  // temporary directory.
  std::string printedExample(const std::string& word, const Command& command) {
    std::string out;
    EXPECT_TRUE(run("help " + word, &out)) << word;
    const size_t at = out.find("Example: ");
    if (at == std::string::npos) {
      ADD_FAILURE() << word << ": no example in\n" << out;
      return word;
    }
    std::string line = out.substr(at + 9, out.find('\n', at) - at - 9);
    for (const ArgumentHelp& argument : command.help.arguments) {
      if (std::string(argument.kind) == "file name") line = word + " " + tempPath(argument.example);
    }
    return line;
  }

  std::unique_ptr<UiAgent> m_agent;
  std::unique_ptr<ServoAgent> m_servo;
  std::unique_ptr<TextUI> m_ui;
};

TEST_F(ConsoleHelp, ListsEveryWordOnceUnderItsTheme) {
  reportArm(3, 6, 7, 6);
  for (const char* line : {"help", "?"}) {
    std::string out;
    ASSERT_TRUE(run(line, &out));
    for (const auto& [word, command] : table()) {
      EXPECT_EQ(occurrences(out, "\n  " + word + " "), 1) << word;
      EXPECT_NE(out.find(themeTitle(command.help.theme)), std::string::npos) << word;
      EXPECT_NE(std::string(command.help.summary), "") << word;
    }
    for (const char* word : {"load", "wait"})
      EXPECT_EQ(occurrences(out, std::string("\n  ") + word + " "), 1);
    // Modes in mode order: nocontrol (0) before float (1) before proj3 (23).
    EXPECT_LT(out.find("  nocontrol "), out.find("  float "));
    EXPECT_LT(out.find("  float "), out.find("  proj3 "));
  }
}

// For two arms: the counts help prints follow the arm the servo reported.
TEST_F(ConsoleHelp, EveryWordTakesTheArgumentsItsHelpNames) {
  struct Arm {
    int robotType, dof, parms, gains;
  };
  for (const Arm arm : {Arm{3, 6, 7, 6}, Arm{1, 3, 3, 3}}) {
    reportArm(arm.robotType, arm.dof, arm.parms, arm.gains);
    const ArgumentSizes sizes{arm.dof, arm.parms, arm.gains};
    for (const auto& [word, command] : table()) {
      SCOPED_TRACE(word + " on an arm of " + std::to_string(arm.dof) + " joints");
      const std::string example = printedExample(word, command);
      const int count = argumentCount(command.help, sizes);
      EXPECT_EQ(static_cast<int>(splitWords(example).size()), 1 + count) << example;
      std::string err;
      EXPECT_TRUE(run(example, nullptr, &err)) << example << ": " << err;
      if (count > 0 && !command.help.arguments.back().optional) {
        const std::string shorter = example.substr(0, example.rfind(' '));
        EXPECT_FALSE(run(shorter, nullptr, &err)) << shorter;
      }
      if (command.handler == &CommandHandlers::quit) beginSession();
      if (word == "startplot") run("stopplot");
    }
  }
}

TEST_F(ConsoleHelp, OneWordsHelpNamesCountsAndUnits) {
  reportArm(3, 6, 7, 6);
  std::string out;
  ASSERT_TRUE(run("help jgoto", &out));
  EXPECT_NE(out.find("joint goal: 6 numbers (one per joint), degrees\n"), std::string::npos) << out;
  ASSERT_TRUE(run("? plotrate", &out));
  EXPECT_NE(out.find("interval: 1 integer, ms\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Example: plotrate 40\n"), std::string::npos) << out;
  ASSERT_TRUE(run("help load", &out));  // read by the prompt, not the table
  EXPECT_NE(out.find("Example: load demo.txt\n"), std::string::npos) << out;
  ASSERT_TRUE(run("help reset", &out));
  EXPECT_NE(out.find("Arguments: none\n"), std::string::npos) << out;

  std::string err, reply;
  EXPECT_FALSE(run("help jgto", &out, &err, &reply));
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "No command word 'jgto'\ndid you mean: jgoto?\n");
}

TEST_F(ConsoleHelp, AnUnknownWordKeepsItsErrorAndAddsTheNearestWords) {
  reportArm(3, 6, 7, 6);
  std::string err, reply;
  EXPECT_FALSE(run("jgot 0 0 0 0 0 0", nullptr, &err, &reply));
  // The reply is what the window's status bar shows: the one line, as before.
  EXPECT_EQ(reply, "Bad user command 'jgot'");
  EXPECT_EQ(err, "Bad user command 'jgot'\ndid you mean: jgoto?\n");
  EXPECT_FALSE(run("xyzzy", nullptr, &err, &reply));
  EXPECT_EQ(err, "Bad user command 'xyzzy'\n");
  EXPECT_FALSE(run("lod demo.txt", nullptr, &err));
  EXPECT_EQ(err, "Bad user command 'lod'\ndid you mean: load?\n");
}

TEST(NearestWords, TyposCaseAndBeginningsButNotWildGuesses) {
  const std::vector<std::string> words{"exit", "jgoto", "njgoto",      "goto",
                                       "kp",   "kv",    "startgather", "startplot"};
  EXPECT_EQ(nearestWords("exti", words), std::vector<std::string>{"exit"});  // swapped letters
  EXPECT_EQ(nearestWords("JGOTO", words), std::vector<std::string>{"jgoto"});
  EXPECT_EQ(nearestWords("njgot", words), std::vector<std::string>{"njgoto"});
  EXPECT_EQ(nearestWords("kq", words), (std::vector<std::string>{"kp", "kv"}));
  EXPECT_EQ(nearestWords("start", words), (std::vector<std::string>{"startgather", "startplot"}));
  EXPECT_TRUE(nearestWords("k", words).empty());
  EXPECT_TRUE(nearestWords("load", {"load"}).empty());  // a script's load is no typo
  EXPECT_TRUE(nearestWords("foo", words).empty());      // two edits from goto: too far for three letters
  EXPECT_EQ(didYouMeanLine({"kp", "kv"}), "did you mean: kp, kv?");
  EXPECT_EQ(didYouMeanLine({}), "");
}

}  // namespace
