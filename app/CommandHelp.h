// What help tells about one command word: its theme, a one-line summary and
// its arguments with their units and example values.
//
// Each entry sits beside the word's handler in the command table, so help is
// written from the same table the dispatcher uses. Counts that follow the arm
// (one value per joint, per configuration parameter, per stored gain) are
// resolved against the arm the servo last reported.
#pragma once

#include <string>
#include <vector>

#include "protocol/ControlModeTable.h"

// The groups of help's word list, in the order it shows them.
enum class CommandTheme { kModes, kQueries, kSettings, kContact, kFiles, kScripts, kSession };
inline constexpr int kCommandThemeCount = 7;
const char* themeTitle(CommandTheme theme);

struct ArgumentHelp {
  // Counts that depend on the arm.
  static constexpr int kPerJoint = -1;
  static constexpr int kPerConfigParm = -2;
  static constexpr int kPerGain = -3;  // the gains stored for the mode given before

  const char* name;     // "joint goal"
  int count;            // how many values, or one of the counts above
  const char* kind;     // "integer", "number" or "file name"
  const char* unit;     // "degrees", "metres", "ms"; empty when none
  const char* example;  // example values, blank-separated; the last one repeats as needed
  bool optional = false;
};

struct CommandHelp {
  CommandTheme theme = CommandTheme::kSession;
  const char* summary = "";
  std::vector<ArgumentHelp> arguments;
  int order = 0;  // place in help's list within the theme
};

// The sizes that the arm-dependent counts stand for.
struct ArgumentSizes {
  int dof = 0;
  int configParms = 0;
  int gains = 0;  // gains stored for the example mode (kGainsExampleMode)
};

// The control mode the kp and kv examples set the gains of.
inline constexpr int kGainsExampleMode = kJgoto;

int argumentCount(const ArgumentHelp& argument, const ArgumentSizes& sizes);
// All values the word takes after itself.
int argumentCount(const CommandHelp& help, const ArgumentSizes& sizes);
// A line the console accepts: the word followed by every argument's example values.
std::string exampleLine(const std::string& word, const CommandHelp& help, const ArgumentSizes& sizes);
// The text of "help WORD": summary, arguments with counts and units, example.
std::string commandHelpText(const std::string& word, const CommandHelp& help, const ArgumentSizes& sizes);

struct WordHelp {
  std::string word;
  const CommandHelp* help;
};
// The text of "help": the words grouped by theme, one summary line each.
std::string commandListText(std::vector<WordHelp> words);
