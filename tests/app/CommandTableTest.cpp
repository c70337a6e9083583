#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/CommandTable.h"

namespace {

// The console's command language, as users type it.
constexpr const char kWords[] =
    "jpos pjpos jvel pjvel torq ptorq xpos pxpos wforce pwforce curtime pcurtime pkj pkp pkv pcmode pdebug "
    "startgather stopgather startplot stopplot plotrate setcontactpoint applycontactforce removecontactforce "
    "gripper setemasspos setmsipos setifmaxvel nocontrol float njhold jhold nhold hold open njmove jmove "
    "njgoto "
    "jgoto njtrack jtrack nxtrack xtrack ngoto goto ntrack track pfmove line proj1 proj2 proj3 robottype "
    "vmax "
    "amax wmax rho0 eta sbound springk simspeed jlimit friction torqlim qmin qmax dqmax ddqmax q0 kj "
    "setobstacle delobstacle setline delline kp kv reset break exit quit";

TEST(CommandTable, HoldsTheEightyOneWordsReloadAndHelp) {
  std::map<std::string, Command> table;
  registerCommands(table);
  ASSERT_EQ(table.count("reload"), 1u);
  EXPECT_EQ(table["reload"].code, UI_RELOAD);
  std::istringstream words(kWords);
  int count = 0;
  for (std::string word; words >> word; ++count) {
    ASSERT_EQ(table.count(word), 1u) << word;
    EXPECT_NE(table[word].handler, nullptr) << word;
  }
  EXPECT_EQ(count, 81);
  EXPECT_EQ(table.count("help"), 1u);
  EXPECT_EQ(table.count("?"), 1u);
  EXPECT_EQ(table.size(), 84u);
}

TEST(CommandTable, ModesAndConstantsAreNumberedInTableOrder) {
  std::map<std::string, Command> table;
  registerCommands(table);
  const char* modes[] = {"nocontrol", "float",  "njhold", "jhold",   "nhold",  "hold",    "open",   "njmove",
                         "jmove",     "njgoto", "jgoto",  "njtrack", "jtrack", "nxtrack", "xtrack", "ngoto",
                         "goto",      "ntrack", "track",  "pfmove",  "line",   "proj1",   "proj2",  "proj3"};
  for (int mode = 0; mode < 24; ++mode) EXPECT_EQ(table[modes[mode]].code, mode) << modes[mode];
  const char* constants[] = {"robottype",   "vmax",        "amax",       "wmax",    "rho0",     "eta",
                             "sbound",      "springk",     "simspeed",   "jlimit",  "friction", "torqlim",
                             "qmin",        "qmax",        "dqmax",      "ddqmax",  "q0",       "kj",
                             "setobstacle", "delobstacle", "setline",    "delline", "kp",       "kv",
                             "setemasspos", "setmsipos",   "setifmaxvel"};
  for (int type = 0; type < 27; ++type) EXPECT_EQ(table[constants[type]].code, type) << constants[type];
}

}  // namespace
