// The console's command words: each maps to a handler and the request it sends.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/TextUI.h"

// Fills table with all command words: the 81 of the language, reload, help and ?.
void registerCommands(std::map<std::string, Command>& table);

// The words the dispatcher does not take, for help and completion: load (read
// by the console's input loop) and wait (read by the script reader).
const std::vector<WordHelp>& promptWords();
