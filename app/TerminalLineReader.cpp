#include "app/TerminalLineReader.h"

#include <editline/readline.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "utility/PrAssert.h"

namespace {
// libedit calls back into plain functions; they reach the reader through this.
TerminalLineReader* activeReader = nullptr;

// The words whose argument is a file name.
bool takesFileName(const std::string& word) {
  return word == "startgather" || word == "startplot" || word == "load";
}
}  // namespace

TerminalLineReader::TerminalLineReader(std::vector<std::string> words, std::string historyPath)
    : m_words(std::move(words)), m_historyPath(std::move(historyPath)) {
  PR_ASSERT(activeReader == nullptr);
  activeReader = this;
  // Before libedit initialises (using_history does), which is when it takes these.
  rl_catch_signals = 0;  // the signal watcher ends the session; readline then gives the terminal back
  rl_catch_sigwinch = 0;
  rl_getc_function = &TerminalLineReader::nextKey;
  rl_instream = stdin;
  rl_outstream = stdout;
  rl_attempted_completion_function = &TerminalLineReader::complete;
  using_history();
  stifle_history(kHistoryLines);
  if (!m_historyPath.empty()) read_history(m_historyPath.c_str());  // a missing file is a first run
}

TerminalLineReader::~TerminalLineReader() {
  rl_attempted_completion_function = nullptr;
  activeReader = nullptr;
}

void TerminalLineReader::showPrompt(const char* prompt) { m_prompt = prompt; }

LineReader::Result TerminalLineReader::readLine(char* line, int size,
                                                const std::function<bool()>& stopRequested) {
  if (m_pending.empty() && !m_atEnd) {
    m_stopRequested = &stopRequested;
    m_stopped = false;
    char* text = readline(m_prompt.c_str());
    m_stopRequested = nullptr;
    if (m_stopped) {
      std::free(text);
      std::fputs("\n", stdout);  // what follows starts below the prompt
      std::fflush(stdout);
      return kStopped;
    }
    if (text == nullptr) {
      m_atEnd = true;
      std::fputs("\n", stdout);  // Ctrl-D leaves the cursor on the prompt line
      std::fflush(stdout);
    } else {
      m_pending = std::string(text) + "\n";
      remember(text);
      std::free(text);
    }
  }
  if (m_pending.empty()) return kEndOfInput;
  takePiece(line, size);
  return kLine;
}

int TerminalLineReader::nextKey(std::FILE* /*in*/) {
  TerminalLineReader& reader = *activeReader;
  for (;;) {
    if (reader.m_stopRequested != nullptr && (*reader.m_stopRequested)()) {
      reader.m_stopped = true;
      return EOF;
    }
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = ::poll(&input, 1, kPollMs);
    if (ready < 0 && errno != EINTR) return EOF;
    if (ready <= 0) continue;
    unsigned char key = 0;
    const ssize_t n = ::read(STDIN_FILENO, &key, 1);
    if (n == 1) return key;
    if (n == 0 || errno != EINTR) return EOF;  // end of input, or the terminal has hung up
  }
}

void TerminalLineReader::remember(const std::string& typed) {
  // Completion leaves a blank after the word; "pcmode " is remembered as "pcmode".
  const size_t last = typed.find_last_not_of(" \t");
  if (last == std::string::npos) return;
  const std::string text = typed.substr(0, last + 1);
  if (text == m_lastRemembered) return;
  add_history(text.c_str());
  m_lastRemembered = text;
  // Written at once, so that a session that ends any way keeps what was typed.
  if (!m_historyPath.empty()) write_history(m_historyPath.c_str());
}

void TerminalLineReader::takePiece(char* line, int size) {
  const size_t length = std::min(m_pending.size(), static_cast<size_t>(size - 1));
  std::memcpy(line, m_pending.data(), length);
  line[length] = '\0';
  m_pending.erase(0, length);
}

// ---- completion -------------------------------------------------------------

TerminalLineReader::Completion TerminalLineReader::completionAt(const std::string& buffer, int start) {
  std::istringstream before(buffer.substr(0, start));
  std::vector<std::string> words;
  for (std::string word; before >> word;) words.push_back(word);
  if (words.empty()) return Completion::kCommandWord;
  if (words.size() > 1) return Completion::kNone;
  if (takesFileName(words[0])) return Completion::kFileName;
  if (words[0] == "help" || words[0] == "?") return Completion::kCommandWord;
  return Completion::kNone;
}

char** TerminalLineReader::complete(const char* text, int start, int /*end*/) {
  rl_attempted_completion_over = 1;  // nothing but what is chosen here
  rl_completion_append_character = ' ';
  switch (completionAt(rl_line_buffer, start)) {
    case Completion::kCommandWord:
      return rl_completion_matches(text, &TerminalLineReader::nextWord);
    case Completion::kFileName:
      // load takes the rest of the line as the name: a blank after it would be part of it.
      rl_completion_append_character = '\0';
      return rl_completion_matches(text, &TerminalLineReader::nextFileName);
    case Completion::kNone:
      break;
  }
  return nullptr;
}

char* TerminalLineReader::nextWord(const char* text, int state) {
  static size_t next = 0;
  if (state == 0) next = 0;
  const std::vector<std::string>& words = activeReader->m_words;
  const size_t length = std::strlen(text);
  while (next < words.size()) {
    const std::string& word = words[next++];
    if (word.compare(0, length, text) == 0) return strdup(word.c_str());
  }
  return nullptr;
}

char* TerminalLineReader::nextFileName(const char* text, int state) {
  char* name = rl_filename_completion_function(text, state);
  if (name == nullptr) return nullptr;
  // A directory ends in a slash, so that the next Tab goes on inside it.
  struct stat info {};
  if (stat(name, &info) == 0 && S_ISDIR(info.st_mode)) {
    const size_t length = std::strlen(name);
    char* withSlash = static_cast<char*>(std::malloc(length + 2));
    std::memcpy(withSlash, name, length);
    std::memcpy(withSlash + length, "/", 2);
    std::free(name);
    return withSlash;
  }
  return name;
}
