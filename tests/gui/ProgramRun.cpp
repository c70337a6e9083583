#include "ProgramRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {
#if defined(__SANITIZE_ADDRESS__)
// Mesa's software driver is unloaded before the leak check runs at exit, so
// its allocations could not be named (nor suppressed as third-party) in the
// report. Loaded before the program, it stays to the end.
void keepDisplayDriverLoaded() {
  const char* driver = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";
  if (access(driver, R_OK) != 0) return;
  setenv("LD_PRELOAD", driver, 1);
  const char* options = getenv("ASAN_OPTIONS");
  // The driver then comes before the sanitizer's runtime in the load order, which is harmless here.
  setenv("ASAN_OPTIONS", (std::string(options ? options : "") + ":verify_asan_link_order=0").c_str(), 1);
}
#else
void keepDisplayDriverLoaded() {}
#endif

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

std::string readTextFile(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

ProgramRun::ProgramRun(const std::string& tag, const std::vector<std::string>& args,
                       const std::vector<std::string>& environment) {
  const fs::path runDir = fs::current_path();
  m_dir =
      fs::temp_directory_path() / ("korvex-" + std::to_string(getpid()) + "-" +
                                   testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + tag);
  fs::remove_all(m_dir);
  fs::create_directories(m_dir);
  for (const char* name : {"Configuration.dat", "puma560.prm", "control.dll"})
    fs::create_symlink(runDir / name, m_dir / name);

  const std::string program = (runDir / "korvex").string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>("korvex"));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int input[2];
  if (pipe2(input, O_CLOEXEC) != 0) return;
  m_startMs = nowMs();
  m_pid = fork();
  if (m_pid == 0) {
    if (chdir(m_dir.c_str()) != 0) _exit(126);
    keepDisplayDriverLoaded();
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    dup2(input[0], 0);
    const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(input[0]);
  m_input = input[1];
}

ProgramRun::~ProgramRun() {
  closeInput();
  if (m_pid > 0 && !m_reaped) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (!testing::Test::HasFailure()) fs::remove_all(m_dir);
}

bool ProgramRun::type(const std::string& line) {
  const std::string text = line + "\n";
  return m_input >= 0 && write(m_input, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void ProgramRun::closeInput() {
  if (m_input >= 0) close(m_input);
  m_input = -1;
}

bool ProgramRun::running() {
  if (m_pid <= 0 || m_reaped) return false;
  if (waitpid(m_pid, &m_status, WNOHANG) != m_pid) return true;
  m_reaped = true;
  m_lifetimeMs = nowMs() - m_startMs;
  return false;
}

void ProgramRun::signal(int number) {
  if (running()) kill(m_pid, number);
}

int ProgramRun::wait(int timeoutMs) {
  const long long deadline = nowMs() + timeoutMs;
  while (running()) {
    if (nowMs() > deadline) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, &m_status, 0);
      m_reaped = true;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!m_reaped) return -1;
  return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

std::string ProgramRun::out() const { return readTextFile(m_dir / "stdout.txt"); }
std::string ProgramRun::err() const { return readTextFile(m_dir / "stderr.txt"); }

bool ProgramRun::waitForErr(const std::string& text, int timeoutMs) {
  const long long deadline = nowMs() + timeoutMs;
  while (err().find(text) == std::string::npos) {
    if (nowMs() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

int listeningPort(ProgramRun& servo, int timeoutMs) {
  const std::string prefix = "servo listening on 127.0.0.1:";
  if (!servo.waitForErr(prefix, timeoutMs)) return 0;
  const std::string err = servo.err();
  return std::atoi(err.c_str() + err.find(prefix) + prefix.size());
}
