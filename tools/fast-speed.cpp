// korvex-fast-speed: how much faster than real time "korvex --no-gui --fast"
// runs a script (by default the demo).
//
//   korvex-fast-speed [SCRIPT] [RUNS]      (default demo.txt, 5 runs)
//
// Run it in build/run. Each run starts ./korvex --no-gui --fast --script
// SCRIPT with standard input at its end, in a fresh directory holding copies
// of Configuration.dat, puma560.prm, control.dll and the script, so the files
// the script writes do not land here. Unpaced, a script's lines take no
// simulated time and its waits exactly theirs, so the simulated time is the
// sum of its waits. The figures are the whole program's, start-up included:
// wall time and the processor time of all its threads.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Simulated seconds a script waits, read as the script reader reads "wait MS".
double scriptWaitSeconds(const std::string& path) {
  std::ifstream in(path);
  double ms = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, 4, "wait") == 0 && line.size() > 5) ms += double(std::atol(line.c_str() + 5));
  }
  return ms / 1000.0;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Run {
  bool ok = false;
  double wallSeconds = 0;
  double cpuSeconds = 0;
};

Run runOnce(const fs::path& korvex, const fs::path& directory, const std::string& script) {
  Run run;
  std::fflush(stdout);  // or the child's freopen writes what is buffered here a second time
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(directory.c_str()) != 0) _exit(126);
    if (!std::freopen("/dev/null", "r", stdin) || !std::freopen("/dev/null", "w", stdout) ||
        !std::freopen("/dev/null", "w", stderr)) {
      _exit(126);
    }
    execl(korvex.c_str(), "korvex", "--no-gui", "--fast", "--script", script.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return run;
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string script = argc > 1 ? argv[1] : "demo.txt";
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (runs < 1 || argc > 3) {
    std::fprintf(stderr, "usage: korvex-fast-speed [SCRIPT] [RUNS >= 1]\n");
    return 2;
  }
  const fs::path here = fs::current_path();
  const fs::path korvex = here / "korvex";
  std::error_code error;
  const fs::path directory = fs::temp_directory_path() / ("korvex-fast-speed-" + std::to_string(getpid()));
  fs::create_directories(directory, error);
  for (const char* name : {"Configuration.dat", "puma560.prm", "control.dll"}) {
    fs::copy_file(here / name, directory / name, fs::copy_options::overwrite_existing, error);
    if (error) {
      std::fprintf(stderr, "korvex-fast-speed: cannot copy %s from here (%s); run it in build/run\n", name,
                   error.message().c_str());
      return 2;
    }
  }
  const std::string scriptName = fs::path(script).filename();
  fs::copy_file(script, directory / scriptName, fs::copy_options::overwrite_existing, error);
  if (error) {
    std::fprintf(stderr, "korvex-fast-speed: cannot read %s (%s)\n", script.c_str(), error.message().c_str());
    return 2;
  }
  const double simulated = scriptWaitSeconds(script);

  std::vector<double> walls, cpus;
  for (int i = 0; i < runs; ++i) {
    const Run run = runOnce(korvex, directory, scriptName);
    if (!run.ok) {
      std::fprintf(stderr, "korvex-fast-speed: run %d of %s did not end cleanly\n", i + 1, script.c_str());
      fs::remove_all(directory, error);
      return 1;
    }
    walls.push_back(run.wallSeconds);
    cpus.push_back(run.cpuSeconds);
    std::printf("run %d: %.3f s wall, %.3f s processor\n", i + 1, run.wallSeconds, run.cpuSeconds);
  }
  fs::remove_all(directory, error);
  const double wall = median(walls);
  std::printf("%s: %.1f simulated s; median of %d runs %.3f s wall, %.3f s processor\n", script.c_str(),
              simulated, runs, wall, median(cpus));
  std::printf("speed: %.0f simulated seconds per wall second (%.0f per processor second)\n", simulated / wall,
              simulated / median(cpus));
  return 0;
}
