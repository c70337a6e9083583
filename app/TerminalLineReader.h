// Console lines typed at a terminal, through libedit: editing keys, history
// (Up/Down, Ctrl-R) kept in a file across runs, and Tab completion of command
// words and, after startgather, startplot and load, of file names.
//
// libedit reads its keys through nextKey, which waits in short polls so that,
// as with ConsoleInput, the reading thread notices a stop request instead of
// sitting in a read. libedit's state is global: one reader at a time, used by
// one thread. It handles no signals itself; the program's signal watcher does.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/LineReader.h"

class TerminalLineReader : public LineReader {
 public:
  // words: what Tab completes at the start of a line. historyPath: the
  // history file, read now and rewritten after each line (empty: none).
  TerminalLineReader(std::vector<std::string> words, std::string historyPath);
  // Gives the terminal back as it was.
  ~TerminalLineReader() override;
  TerminalLineReader(const TerminalLineReader&) = delete;
  TerminalLineReader& operator=(const TerminalLineReader&) = delete;

  void showPrompt(const char* prompt) override;
  Result readLine(char* line, int size, const std::function<bool()>& stopRequested) override;

  // The words that Tab may complete the word that begins at start of buffer to.
  enum class Completion { kNone, kCommandWord, kFileName };
  static Completion completionAt(const std::string& buffer, int start);

 private:
  static constexpr int kPollMs = 50;
  static constexpr int kHistoryLines = 1000;

  // libedit's key source: the next byte of standard input, EOF at its end or
  // once a stop is requested.
  static int nextKey(std::FILE* in);
  static char** complete(const char* text, int start, int end);
  static char* nextWord(const char* text, int state);
  static char* nextFileName(const char* text, int state);

  void remember(const std::string& text);
  // Hands out the next piece of m_pending (fgets-sized).
  void takePiece(char* line, int size);

  std::vector<std::string> m_words;
  std::string m_historyPath;
  std::string m_prompt;
  const std::function<bool()>* m_stopRequested = nullptr;  // during readLine
  bool m_stopped = false;
  bool m_atEnd = false;
  std::string m_pending;  // the typed line, with its line feed, not yet handed out
  std::string m_lastRemembered;
};
