#include "ServoProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "KorvexRun.h"
#include "app/ServoAgent.h"
#include "app/SharedToken.h"
#include "utility/PrSocket.h"
#include "utility/TcpEndpoint.h"

namespace {
using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

pid_t spawn(const char* const* args, const std::string& outPath, const std::string& errPath) {
  // Never read what an earlier run left before the child has truncated it.
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv("./korvex", const_cast<char* const*>(args));
    _exit(127);
  }
  return pid;
}

// Waits for pid up to timeoutMs, then kills it; the exit status or -1.
int reap(pid_t pid, int timeoutMs) {
  const auto start = Clock::now();
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid) {
    if (msSince(start) > timeoutMs) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

ServoProcess::ServoProcess(const std::string& tokenFile)
    : m_outPath(tempPath("servo-out.txt")), m_errPath(tempPath("servo-err.txt")) {
  const char* args[] = {"korvex", "--servo-only", "--listen", "127.0.0.1:0", nullptr, nullptr, nullptr};
  if (!tokenFile.empty()) {
    args[4] = "--token-file";
    args[5] = tokenFile.c_str();
  }
  m_pid = spawn(args, m_outPath, m_errPath);
  const std::string banner = "korvex: servo listening on 127.0.0.1:";
  if (!waitForErr(banner, 10000)) return;
  const std::string text = err();
  m_port = std::atoi(text.c_str() + text.find(banner) + banner.size());
}

ServoProcess::~ServoProcess() { terminate(); }

bool ServoProcess::running() { return m_pid > 0 && waitpid(m_pid, &m_status, WNOHANG) == 0; }

int ServoProcess::terminate() {
  if (m_pid <= 0) return m_status;
  kill(m_pid, SIGTERM);
  m_status = reap(m_pid, 10000);
  m_pid = -1;
  return m_status;
}

std::string ServoProcess::err() const { return readTextFile(m_errPath); }
std::string ServoProcess::out() const { return readTextFile(m_outPath); }

bool ServoProcess::waitForErr(const std::string& text, int timeoutMs) const {
  const auto start = Clock::now();
  while (err().find(text) == std::string::npos) {
    if (msSince(start) > timeoutMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

LinkClient::LinkClient(int port, const std::string& token) {
  std::string error;
  const int s = connectTcp(TcpAddress{"127.0.0.1", port}, 3000, &error);
  if (s < 0) return;
  if (!token.empty()) {
    const std::string line = tokenLine(token);
    (void)!::send(s, line.data(), line.size(), MSG_NOSIGNAL);
  }
  m_socket = std::make_unique<PrSocket>(s);
  m_agent = std::make_unique<ServoAgent>(m_socket.get());
}

LinkClient::~LinkClient() {
  m_agent.reset();
  m_socket.reset();
}

int LinkClient::descriptor() const { return m_socket->descriptor(); }

bool LinkClient::ask(int requestType, int replyType, CMsg* reply, int timeoutMs) {
  m_request.clear();
  m_request.setType(requestType);
  m_request.writeInt(1);
  if (!m_agent->send(m_request)) return false;
  const auto start = Clock::now();
  while (msSince(start) < timeoutMs) {
    if (!m_agent->hasMessage()) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    CMappedMsg msg = m_agent->read();
    if (msg.getType() == replyType) {
      reply->setFromBytes(msg.data(), msg.length());
      return true;
    }
  }
  return false;
}

float LinkClient::servoTime() {
  CMsg reply;
  if (!ask(UI_CURTIME, SERVO_CURTIME, &reply)) return -1;
  return reply.readFloat();
}

ConsoleRun runRemoteConsole(const std::string& address, const std::string& scriptPath, int timeoutMs,
                            const std::string& tokenFile) {
  const std::string outPath = tempPath("console-out.txt");
  const std::string errPath = tempPath("console-err.txt");
  const char* args[] = {"korvex",           "--connect", address.c_str(), "--no-gui", "--script",
                        scriptPath.c_str(), nullptr,     nullptr,         nullptr};
  if (!tokenFile.empty()) {
    args[6] = "--token-file";
    args[7] = tokenFile.c_str();
  }
  ConsoleRun run;
  run.status = reap(spawn(args, outPath, errPath), timeoutMs);
  run.out = readTextFile(outPath);
  run.err = readTextFile(errPath);
  return run;
}
