// Script files run typed lines, with "wait <ms>": any bytes must run without
// harm. Waits are cut short (the dispatcher says the session is over while one
// is pending) so a large pause does not stall the fuzzer.
#include <unistd.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "utility/CommandDispatcher.h"
#include "utility/ScriptReader.h"
#include "utility/consolePrint.h"

namespace {
bool waiting = false;

class WaitWatcher final : public ConsolePrintSink {
 public:
  int vprint(const char* format, va_list args) override {
    char text[512];
    const int n = std::vsnprintf(text, sizeof text, format, args);
    if (std::strncmp(text, "Waiting for", 11) == 0) waiting = true;
    return n;
  }
};

class CountingConsole final : public CommandDispatcher {
 public:
  bool processCommand(const char* commandStr, char* reply) override {
    // A chunk is at most 255 characters plus its NUL.
    if (std::strlen(commandStr) > 255) __builtin_trap();
    if (reply) reply[0] = '\0';
    ++lines;
    return true;
  }
  bool sessionOver() const override {
    const bool over = waiting;
    waiting = false;
    return over;
  }
  long lines = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static WaitWatcher watcher;
  setConsolePrintSink(&watcher);
  static const std::string path = "/tmp/korvex-fuzz-script-" + std::to_string(getpid()) + ".txt";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::string name = path + "\n";  // as the rest of a typed "load" line
  CountingConsole console;
  ScriptReader reader(&console);
  reader.run(name.data());
  return 0;
}
