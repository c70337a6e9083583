// Runs the real korvex program headless in the test's working directory
// (build/run, which holds Configuration.dat, puma560.prm and control.dll).
#pragma once

#include <functional>
#include <string>
#include <vector>

struct KorvexRun {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;  // standard output
  std::string err;  // standard error
};

// Whether ./korvex exists; when not, the reason is in *why.
bool korvexAvailable(std::string* why);
// Whether ./control.dll exists (the arm only moves with the control laws).
bool controlPluginAvailable();

// Writes text to a fresh file under the test temporary directory; returns its path.
std::string writeTempFile(const std::string& name, const std::string& text);
std::string readTextFile(const std::string& path);
std::string tempPath(const std::string& name);

// Runs "./korvex --no-gui [--script scriptPath]" with stdinText on standard
// input. When terminateAfterMs >= 0 the program gets SIGTERM after that long.
// A run that has not ended after timeoutMs is killed (status -1).
KorvexRun runKorvex(const std::string& scriptPath, const std::string& stdinText = "",
                    int terminateAfterMs = -1, int timeoutMs = 60000);

// As runKorvex, and calls whileRunning(pid, path of its standard error) once
// the program has started: to signal it, say.
KorvexRun runKorvexWhile(const std::string& scriptPath, const std::string& stdinText,
                         const std::function<void(int pid, const std::string& errPath)>& whileRunning,
                         int timeoutMs = 60000);

// Number of times what occurs in text.
int occurrences(const std::string& text, const std::string& what);
// The lines of text, without their line feeds.
std::vector<std::string> splitLines(const std::string& text);
