// The console's command words: each maps to a handler and the request it sends.
#pragma once

#include <map>
#include <string>

#include "app/TextUI.h"

// Fills table with all 81 command words.
void registerCommands(std::map<std::string, Command>& table);
