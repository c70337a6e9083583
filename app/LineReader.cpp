#include "app/LineReader.h"

#include <unistd.h>

#include <cstdlib>

#include "app/ConsoleInput.h"
#include "app/TerminalLineReader.h"

std::unique_ptr<LineReader> openConsoleInput(int fd, std::vector<std::string> words,
                                             const std::string& historyPath) {
  // Editing needs a terminal to read keys from and one to redraw the line on;
  // anything else (a pipe, a file, output into a log) reads as it comes.
  if (fd == STDIN_FILENO && isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1) {
    return std::make_unique<TerminalLineReader>(std::move(words), historyPath);
  }
  return std::make_unique<ConsoleInput>(fd);
}

std::string consoleHistoryPath() {
  if (const char* path = std::getenv("KORVEX_HISTORY")) return path;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return "";
  return std::string(home) + "/.korvex_history";
}
