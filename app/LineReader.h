// Where the console thread gets its lines: standard input as it comes
// (ConsoleInput) or, at a terminal, a line editor (TerminalLineReader).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class LineReader {
 public:
  enum Result { kLine, kEndOfInput, kStopped };

  virtual ~LineReader() = default;

  // Shows the prompt for the next readLine.
  virtual void showPrompt(const char* prompt) = 0;
  // Reads the next line into line (size bytes, NUL-terminated), as fgets
  // does: at most size - 1 characters, the line feed included when it fits.
  // kEndOfInput at the end of input or on a read error; kStopped as soon as
  // stopRequested() returns true while waiting.
  virtual Result readLine(char* line, int size, const std::function<bool()>& stopRequested) = 0;
};

// The line editor when standard input and output are both terminals (words
// complete at Tab, history kept in historyPath, none when empty), else plain
// reading of fd.
std::unique_ptr<LineReader> openConsoleInput(int fd, std::vector<std::string> words,
                                             const std::string& historyPath);

// $KORVEX_HISTORY when set (empty: no history file), else ~/.korvex_history,
// else none.
std::string consoleHistoryPath();
