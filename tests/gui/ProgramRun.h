// The real korvex program as a child process of a GUI test: on the test's
// private display, in a scratch directory of its own (linked to the run
// directory's Configuration.dat, puma560.prm and control.dll), with standard
// input on a pipe and its output in files there.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

class ProgramRun {
 public:
  // Starts ./korvex of the run directory with args, and the environment
  // changed by the "NAME=VALUE" entries; the directory is named after the
  // running test and tag. running() is false when it failed.
  ProgramRun(const std::string& tag, const std::vector<std::string>& args,
             const std::vector<std::string>& environment = {});
  // Kills a child still running; the directory stays when the test failed.
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  const std::filesystem::path& dir() const { return m_dir; }
  pid_t pid() const { return m_pid; }

  // Writes one console line (a line feed is added).
  bool type(const std::string& line);
  void closeInput();
  bool running();
  void signal(int number);
  // The exit status, or -1 when it did not exit normally; killed after timeoutMs.
  int wait(int timeoutMs);
  // Milliseconds from the start to the end seen by wait().
  long long lifetimeMs() const { return m_lifetimeMs; }

  std::string out() const;
  std::string err() const;
  // Waits up to timeoutMs until standard error holds text.
  bool waitForErr(const std::string& text, int timeoutMs);

 private:
  std::filesystem::path m_dir;
  pid_t m_pid = -1;
  int m_input = -1;
  int m_status = -1;
  bool m_reaped = false;
  long long m_startMs = 0;
  long long m_lifetimeMs = -1;
};

std::string readTextFile(const std::filesystem::path& path);
// The port in "korvex: servo listening on HOST:PORT", or 0 when none appears within timeoutMs.
int listeningPort(ProgramRun& servo, int timeoutMs);
