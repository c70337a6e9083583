#include "app/CommandHelp.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {
constexpr int kWordColumn = 20;  // wider than the longest word, removecontactforce

std::vector<std::string> splitWords(const char* text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// "6 numbers (one per joint)", "1 file name".
std::string countText(const ArgumentHelp& argument, int count) {
  std::string text = std::to_string(count) + " " + argument.kind;
  if (count != 1) text += "s";
  switch (argument.count) {
    case ArgumentHelp::kPerJoint:
      return text + " (one per joint)";
    case ArgumentHelp::kPerConfigParm:
      return text + " (one per configuration parameter)";
    case ArgumentHelp::kPerGain:
      return text + " (one per gain stored for the mode; " + std::to_string(count) + " for mode " +
             std::to_string(kGainsExampleMode) + " now)";
    default:
      return text;
  }
}
}  // namespace

const char* themeTitle(CommandTheme theme) {
  switch (theme) {
    case CommandTheme::kModes:
      return "Control modes";
    case CommandTheme::kQueries:
      return "Queries";
    case CommandTheme::kSettings:
      return "Settings";
    case CommandTheme::kContact:
      return "Contact spring, gripper and display";
    case CommandTheme::kFiles:
      return "Files: gathering and plotting";
    case CommandTheme::kScripts:
      return "Scripts";
    case CommandTheme::kSession:
      return "Session";
  }
  return "";
}

int argumentCount(const ArgumentHelp& argument, const ArgumentSizes& sizes) {
  switch (argument.count) {
    case ArgumentHelp::kPerJoint:
      return sizes.dof;
    case ArgumentHelp::kPerConfigParm:
      return sizes.configParms;
    case ArgumentHelp::kPerGain:
      return sizes.gains;
    default:
      return argument.count;
  }
}

int argumentCount(const CommandHelp& help, const ArgumentSizes& sizes) {
  int count = 0;
  for (const ArgumentHelp& argument : help.arguments) count += argumentCount(argument, sizes);
  return count;
}

std::string exampleLine(const std::string& word, const CommandHelp& help, const ArgumentSizes& sizes) {
  std::string line = word;
  for (const ArgumentHelp& argument : help.arguments) {
    const std::vector<std::string> values = splitWords(argument.example);
    const int count = argumentCount(argument, sizes);
    for (int i = 0; i < count && !values.empty(); ++i) {
      line += " " + values[std::min<size_t>(i, values.size() - 1)];
    }
  }
  return line;
}

std::string commandHelpText(const std::string& word, const CommandHelp& help, const ArgumentSizes& sizes) {
  std::string text = word + ": " + help.summary + "\n";
  if (help.arguments.empty()) {
    text += "Arguments: none\n";
  } else {
    text += "Arguments:\n";
    for (const ArgumentHelp& argument : help.arguments) {
      text += std::string("  ") + argument.name + ": " + countText(argument, argumentCount(argument, sizes));
      if (argument.unit[0] != '\0') text += std::string(", ") + argument.unit;
      if (argument.optional) text += " (optional)";
      text += "\n";
    }
  }
  text += "Example: " + exampleLine(word, help, sizes) + "\n";
  return text;
}

std::string commandListText(std::vector<WordHelp> words) {
  std::stable_sort(words.begin(), words.end(),
                   [](const WordHelp& a, const WordHelp& b) { return a.help->order < b.help->order; });
  std::string text = "Command words by theme; 'help WORD' (or '? WORD') shows a word's arguments.\n";
  for (int theme = 0; theme < kCommandThemeCount; ++theme) {
    text += std::string(themeTitle(static_cast<CommandTheme>(theme))) + ":\n";
    for (const WordHelp& entry : words) {
      if (static_cast<int>(entry.help->theme) != theme) continue;
      char line[256];
      std::snprintf(line, sizeof line, "  %-*s %s\n", kWordColumn, entry.word.c_str(), entry.help->summary);
      text += line;
    }
  }
  return text;
}
