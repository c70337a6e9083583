// Walks the control-mode table: what the console types, what the plug-in
// exports and what a request carries must agree for every mode.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "protocol/ConstantType.h"
#include "protocol/ControlModeTable.h"

namespace {

TEST(ControlModeTable, EveryWordParsesBackToItsNumber) {
  std::set<std::string> words;
  for (const ControlModeInfo& m : kControlModes) {
    EXPECT_EQ(controlModeOfWord(m.word), m.mode) << m.word;
    EXPECT_TRUE(words.insert(m.word).second) << m.word << " names two modes";
    // The console dispatches modes and constants from one word list.
    EXPECT_EQ(constantOfWord(m.word), -1) << m.word << " is also a constant";
  }
  EXPECT_EQ(controlModeOfWord("unknown"), -1);
  EXPECT_EQ(controlModeOfWord(""), -1);
  EXPECT_EQ(controlModeOfWord("jgot"), -1);
  EXPECT_STREQ(controlModeWord(kNumControlModes), "unknown");
  EXPECT_STREQ(controlModeWord(-1), "unknown");
}

TEST(ControlModeTable, EntryPointsAreTheReferencePluginsExports) {
  void* library = dlopen("./control.dll", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  std::set<std::string> names;
  for (const ControlModeInfo& m : kControlModes) {
    EXPECT_NE(dlsym(library, m.tickName), nullptr) << m.tickName;
    EXPECT_TRUE(names.insert(m.tickName).second) << m.tickName;
    if (m.mode == kNoControl) {
      EXPECT_EQ(m.initName, nullptr) << "nocontrol starts nothing";
      continue;
    }
    ASSERT_NE(m.initName, nullptr) << m.word;
    EXPECT_NE(dlsym(library, m.initName), nullptr) << m.initName;
    EXPECT_TRUE(names.insert(m.initName).second) << m.initName;
  }
  // With InitControl, PreprocessControl, PostprocessControl and PrintDebug: 51.
  EXPECT_EQ(names.size() + 4, 51u);
  dlclose(library);
}

TEST(ControlModeTable, GoalAndGainsGoTogether) {
  for (const ControlModeInfo& m : kControlModes) {
    // A joint goal is reached with joint gains, an operational one with
    // operational gains, except the x-track modes, which plan a joint path.
    const GainSpace expected = m.goal == GoalKind::kConfig ? GainSpace::kOperational : GainSpace::kJoint;
    if (m.goal != GoalKind::kNone) {
      EXPECT_EQ(m.gains, expected) << m.word;
    }
    EXPECT_EQ(takesElbow(m.mode), m.goal == GoalKind::kConfigElbow) << m.word;
    EXPECT_EQ(takesConfigGoal(m.mode), m.goal == GoalKind::kConfig || m.goal == GoalKind::kConfigElbow)
        << m.word;
    EXPECT_NE(std::string(m.summary), "") << m.word;
  }
  for (int outside : {-1, kNumControlModes, 99}) {
    EXPECT_FALSE(isJointSpaceMode(outside));
    EXPECT_EQ(controlModeGoal(outside), GoalKind::kNone);
    EXPECT_EQ(controlModeInitName(outside), nullptr);
    EXPECT_EQ(controlModeTickName(outside), nullptr);
  }
}

// Scripts read the words from the lists the build writes beside the run directory.
TEST(ControlModeTable, TheListsForScriptsHoldEveryModeAndConstant) {
  std::ifstream modes("../protocol/modes.txt");
  ASSERT_TRUE(modes.good());
  int count = 0;
  for (std::string word, goal, gains; modes >> count >> word >> goal >> gains;) {
    ASSERT_TRUE(isControlMode(count));
    EXPECT_EQ(controlModeOfWord(word), count);
    EXPECT_EQ(goal == "config+elbow", takesElbow(count)) << word;
    EXPECT_EQ(gains == "joint", isJointSpaceMode(count)) << word;
  }
  EXPECT_EQ(count, kNumControlModes - 1) << "the last line is the last mode";
  std::ifstream constants("../protocol/constants.txt");
  ASSERT_TRUE(constants.good());
  for (std::string word, payload; constants >> count >> word >> payload;)
    EXPECT_EQ(constantOfWord(word), count);
  EXPECT_EQ(count, kConstantTypeCount - 1);
}

TEST(ConstantTypeTable, EveryWordParsesBackToItsNumber) {
  std::set<std::string> words;
  for (const ConstantInfo& c : kConstants) {
    EXPECT_EQ(constantOfWord(c.word), constantNumber(c.type)) << c.word;
    EXPECT_TRUE(words.insert(c.word).second) << c.word << " names two constants";
    EXPECT_TRUE(isConstantType(constantNumber(c.type)));
    // Only the gains answer with a gains message: they name a mode.
    EXPECT_EQ(c.payload == ConstantPayload::kGains, c.answer == ConstantAnswer::kGains) << c.word;
  }
  EXPECT_FALSE(isConstantType(-1));
  EXPECT_FALSE(isConstantType(kConstantTypeCount));
  EXPECT_EQ(constantOfWord("jgoto"), -1);
}

}  // namespace
