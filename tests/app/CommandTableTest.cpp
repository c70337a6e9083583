#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/CommandTable.h"
#include "protocol/ConstantType.h"
#include "protocol/ControlModeTable.h"

namespace {

// The console's words besides the control modes and the constants.
constexpr const char kOtherWords[] =
    "jpos pjpos jvel pjvel torq ptorq xpos pxpos wforce pwforce curtime pcurtime pkj pkp pkv pcmode pdebug "
    "startgather stopgather startplot stopplot plotrate setcontactpoint applycontactforce removecontactforce "
    "gripper reset break exit quit";

TEST(CommandTable, HoldsTheEightyOneWordsReloadAndHelp) {
  std::map<std::string, Command> table;
  registerCommands(table);
  ASSERT_EQ(table.count("reload"), 1u);
  EXPECT_EQ(table["reload"].code, UI_RELOAD);
  std::istringstream words(kOtherWords);
  int count = 0;
  for (std::string word; words >> word; ++count) {
    ASSERT_EQ(table.count(word), 1u) << word;
    EXPECT_NE(table[word].handler, nullptr) << word;
  }
  EXPECT_EQ(count + kNumControlModes + kConstantTypeCount, 81);
  EXPECT_EQ(table.count("help"), 1u);
  EXPECT_EQ(table.count("?"), 1u);
  EXPECT_EQ(table.size(), 84u);
}

TEST(CommandTable, EveryModeAndConstantWordSendsItsNumber) {
  std::map<std::string, Command> table;
  registerCommands(table);
  for (const ControlModeInfo& m : kControlModes) {
    ASSERT_EQ(table.count(m.word), 1u) << m.word;
    EXPECT_EQ(table[m.word].code, m.mode) << m.word;
    EXPECT_EQ(table[m.word].help.theme, CommandTheme::kModes) << m.word;
  }
  // Modes that take the same goal share a handler.
  EXPECT_EQ(table[controlModeWord(kJgoto)].handler, table[controlModeWord(kNjmove)].handler);
  EXPECT_NE(table[controlModeWord(kJgoto)].handler, table[controlModeWord(kGoto)].handler);
  EXPECT_NE(table[controlModeWord(kXtrack)].handler, table[controlModeWord(kGoto)].handler);
  EXPECT_NE(table[controlModeWord(kFloat)].handler, table[controlModeWord(kGoto)].handler);
  for (const ConstantInfo& c : kConstants) {
    ASSERT_EQ(table.count(c.word), 1u) << c.word;
    EXPECT_EQ(table[c.word].code, constantNumber(c.type)) << c.word;
  }
}

}  // namespace
