#include "utility/ScriptReader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "utility/CommandDispatcher.h"
#include "utility/PrAssert.h"
#include "utility/consolePrint.h"

namespace {
constexpr int kChunkSize = 256;  // 255 characters and the terminator
}  // namespace

ScriptReader::ScriptReader(CommandDispatcher* console) : m_console(console) {}

void ScriptReader::run(char* filename) {
  PR_ASSERT(filename != NULL);
  if (char* lineFeed = std::strchr(filename, '\n')) *lineFeed = '\0';
  // A script typed on a terminal that sends CR LF would otherwise not open.
  const size_t length = std::strlen(filename);
  if (length > 0 && filename[length - 1] == '\r') filename[length - 1] = '\0';

  std::FILE* file = std::fopen(filename, "r");
  if (file == nullptr) {
    std::fprintf(stderr, "Error opening script file %s\n", filename);
    return;
  }
  char chunk[kChunkSize];
  while (!m_console->sessionOver() && std::fgets(chunk, kChunkSize, file) != nullptr) {
    if (std::strncmp(chunk, "wait", 4) == 0) {
      wait(chunk);
    } else {
      m_console->processCommand(chunk);
    }
  }
  std::fclose(file);
}

void ScriptReader::wait(const char* chunk) {
  // The argument starts after one separator character; a chunk of just
  // "wait" has nothing there to read.
  long ms = -1;
  char* end = nullptr;
  if (std::strlen(chunk) > 5) {
    const char* argument = chunk + 5;
    ms = std::strtol(argument, &end, 10);
    if (end == argument) ms = -1;
  }
  // A negative pause is refused rather than turned into an endless sleep.
  if (ms < 0) {
    std::fprintf(stderr, "Bad argument to 'wait' command.\n");
    return;
  }
  // The answers to the lines before the pause are printed before it.
  m_console->awaitReplies();
  consolePrint("Waiting for %.1f seconds...", double(ms) / 1000.0);
  std::fflush(stdout);
  m_console->pause(ms);
  consolePrint("Done\n");
  std::fflush(stdout);
}
