// A whole console session run from a script, as
// "korvex --no-gui --script FILE < /dev/null" runs it: the input is the
// script, standard input is at its end, and each input gets a fresh session
// (console, agents, servo thread) in this process. Whatever the script holds,
// the session must end in order: "Session ended." once and last on standard
// error, "Exiting." last on standard output, with nothing after either.
//
// Lines that read other files ("load") are dropped, and "wait"
// lines are kept only with short pauses, so that a run stays bounded.
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Application.h"
#include "app/Configuration.h"
#include "servo/Session.h"

namespace {
const std::string kDir = "/tmp/korvex-fuzz-session-" + std::to_string(getpid());

std::string firstWord(const std::string& line, size_t* end) {
  size_t i = 0;
  while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
  size_t j = i;
  while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
  *end = j;
  return line.substr(i, j - i);
}

// At most 64 lines; none that reads another file or pauses longer than 50 ms.
std::string boundedScript(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string script;
  size_t start = 0;
  for (int lines = 0; start < text.size() && lines < 64; ++lines) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    size_t wordEnd = 0;
    const std::string word = firstWord(line, &wordEnd);
    if (word == "load") continue;
    if (word == "wait") {
      const double ms = std::atof(line.c_str() + wordEnd);
      if (!(ms >= 0 && ms <= 50)) continue;
    }
    script += line + "\n";
  }
  return script;
}

std::string readAll(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
  }
  return text;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Standard error after "Session ended.": only the servo's own late-tick
// reports, which a loaded machine (or the sanitizers) may add at any time.
bool onlyLateReportsAfter(const std::string& err, size_t from) {
  while (from < err.size()) {
    const size_t end = err.find('\n', from);
    if (end == std::string::npos) return false;
    if (err.compare(from, 12, "Servo late: ") != 0) return false;
    from = end + 1;
  }
  return true;
}

// Runs one session with fd 1 and 2 sent to files; puts them back after.
void runSession(const std::string& scriptPath, std::string* out, std::string* err) {
  const std::string outPath = kDir + "/out.txt", errPath = kDir + "/err.txt";
  std::fflush(stdout);
  std::fflush(stderr);
  const int savedOut = dup(STDOUT_FILENO), savedErr = dup(STDERR_FILENO);
  const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (outFd < 0 || errFd < 0) std::abort();
  dup2(outFd, STDOUT_FILENO);
  dup2(errFd, STDERR_FILENO);
  close(outFd);
  close(errFd);
  {
    beginSession();
    Application application;
    application.start(/*endAtEndOfInput=*/true, scriptPath);
    Application::waitForSessionEnd();
    application.completeShutdown();
  }
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(savedOut, STDOUT_FILENO);
  dup2(savedErr, STDERR_FILENO);
  close(savedOut);
  close(savedErr);
  *out = readAll(outPath);
  *err = readAll(errPath);
}

void setUp() {
  if (!readConfiguration()) std::abort();
  const int devNull = open("/dev/null", O_RDONLY);
  if (devNull < 0 || dup2(devNull, STDIN_FILENO) < 0) std::abort();
  close(devNull);
  std::string command = "mkdir -p " + kDir;
  if (std::system(command.c_str()) != 0) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (setUp(), true);
  (void)ready;
  const std::string scriptPath = kDir + "/script.txt";
  std::FILE* file = std::fopen(scriptPath.c_str(), "wb");
  if (file == nullptr) return 0;
  const std::string script = boundedScript(data, size);
  std::fwrite(script.data(), 1, script.size(), file);
  std::fclose(file);

  std::string out, err;
  runSession(scriptPath, &out, &err);
  const std::string ended = "Session ended.\n";
  const size_t at = err.find(ended);
  if (at == std::string::npos || err.find(ended, at + 1) != std::string::npos) __builtin_trap();
  if (!onlyLateReportsAfter(err, at + ended.size())) __builtin_trap();
  if (!endsWith(out, "Exiting.\n") || out.find("Exiting.\n") != out.size() - 9) __builtin_trap();
  return 0;
}
