// help and ?: written from the command table, so that they tell what the
// dispatcher accepts.
#include <cstdio>

#include "app/CommandHandlers.h"
#include "app/CommandTable.h"
#include "app/NearestWords.h"
#include "protocol/ConstantType.h"

namespace {
void printHelp(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}
}  // namespace

bool CommandHandlers::help(TextUI& ui, const Command& /*command*/, Args& args, char* reply) {
  const std::map<std::string, Command>& table = commands(ui);
  const char* word = args.nextWord();
  if (word == nullptr) {
    std::vector<WordHelp> words;
    for (const auto& [name, entry] : table) words.push_back({name, &entry.help});
    for (const WordHelp& entry : promptWords()) words.push_back(entry);
    printHelp(commandListText(words));
    return true;
  }

  const CommandHelp* help = nullptr;
  if (const auto entry = table.find(word); entry != table.end()) help = &entry->second.help;
  for (const WordHelp& entry : promptWords()) {
    if (entry.word == word) help = entry.help;
  }
  if (help == nullptr) {
    const std::string suggestion = didYouMeanLine(nearestWords(word, ui.commandWords()));
    return replyError(reply, "No command word '%s'%s%s", word, suggestion.empty() ? "" : "\n",
                      suggestion.c_str());
  }
  const ServoConfiguration& cfg = config(ui);
  ArgumentSizes sizes{cfg.dof, cfg.numConfigParms, 0};
  if (table.count(word) == 1 && table.at(word).handler == &CommandHandlers::gains) {
    const bool isKp = table.at(word).code == constantNumber(ConstantType::kKp);
    sizes.gains = (isKp ? storedKp(ui, kGainsExampleMode) : storedKv(ui, kGainsExampleMode)).size();
  }
  printHelp(commandHelpText(word, *help, sizes));
  return true;
}
