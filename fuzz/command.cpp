// Console lines as typed, with the servo side running: the whole program is
// started once (servo thread, console, listener) in the working directory
// that holds control.dll and puma560.prm, and every input is split into lines
// handed to processCommand. Lines that end the session or run files are left
// out: they would stop the run or read whatever file a name points at.
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "app/Application.h"
#include "app/Configuration.h"
#include "app/TextUI.h"
#include "servo/Session.h"

namespace {
Application* theApp = nullptr;

Application* startProgram() {
  if (!readConfiguration()) std::abort();
  // The console thread sees end of input and stops reading. /dev/null, not a
  // closed descriptor: the next file opened would become its input.
  const int null = open("/dev/null", O_RDONLY);
  if (null < 0 || dup2(null, STDIN_FILENO) < 0) std::abort();
  close(null);
  auto* app = theApp = new Application;
  app->start(/*endAtEndOfInput=*/false, "");
  // libFuzzer ends with exit(): stop the threads before static objects they
  // use are destroyed. Handlers run in reverse order of registration, so the
  // servo's own statics (the plug-in's among them) must exist first: wait for
  // its first configuration, sent once it is set up.
  while (app->console().updateCount() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::atexit([] {
    endSession();
    theApp->completeShutdown();
  });
  return app;
}

bool endsOrLoads(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
  size_t j = i;
  while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
  const std::string word = line.substr(i, j - i);
  return word == "quit" || word == "exit" || word == "break" || word == "load";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Application* app = startProgram();
  const std::string text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  for (int lines = 0; start < text.size() && lines < 16; ++lines) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    line.resize(std::strlen(line.c_str()));  // the console reads up to a NUL, as fgets' callers do
    if (endsOrLoads(line)) continue;
    line.push_back('\n');
    char reply[CommandDispatcher::kReplySize];
    app->console().processCommand(line.c_str(), reply);
    if (std::memchr(reply, 0, sizeof reply) == nullptr) __builtin_trap();
  }
  // Nothing typed here may end the session.
  if (sessionEnded) __builtin_trap();
  return 0;
}
