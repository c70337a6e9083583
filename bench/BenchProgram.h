// The real program for the benchmarks that measure it: started in a scratch
// run directory that links the shipped files, its standard input on a pipe
// and its output thrown away, and ended with "quit".
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

struct BenchProgram {
  pid_t pid = -1;
  int input = -1;  // write end of the program's standard input
};

// A fresh scratch directory holding links to the run directory's data files
// and plug-in (no "config", so the window starts with its defaults).
inline void makeScratchRunDir(const std::filesystem::path& runDir, const std::filesystem::path& scratch) {
  std::filesystem::remove_all(scratch);
  std::filesystem::create_directories(scratch);
  for (const char* name : {"Configuration.dat", "puma560.prm", "control.dll"})
    std::filesystem::create_symlink(runDir / name, scratch / name);
}

// Starts runDir's korvex in scratch, with its window or --no-gui; pid -1 when
// it could not be started.
inline BenchProgram startProgram(const std::filesystem::path& runDir, const std::filesystem::path& scratch,
                                 bool window) {
  int input[2];
  if (pipe(input) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(scratch.c_str()) != 0) _exit(126);
    dup2(input[0], 0);
    close(input[1]);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    const std::string program = (runDir / "korvex").string();
    const char* args[] = {"korvex", window ? nullptr : "--no-gui", nullptr};
    execv(program.c_str(), const_cast<char* const*>(args));
    _exit(127);
  }
  close(input[0]);
  if (pid < 0) {
    close(input[1]);
    return {};
  }
  return {pid, input[1]};
}

// Types quit at its console and waits for it to end.
inline void quitProgram(BenchProgram& program) {
  const char quit[] = "quit\n";
  if (write(program.input, quit, sizeof quit - 1) < 0) kill(program.pid, SIGTERM);
  close(program.input);
  waitpid(program.pid, nullptr, 0);
  program = {};
}
