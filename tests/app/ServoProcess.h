// A "korvex --servo-only" process on an ephemeral loopback port, for the
// tests of the TCP link, and a minimal user interface on that link.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "utility/unitMsg.h"

class PrSocket;
class ServoAgent;

class ServoProcess {
 public:
  // Starts the servo in the working directory; port() is 0 when it failed.
  // tokenFile: given as --token-file when not empty.
  explicit ServoProcess(const std::string& tokenFile = "");
  ~ServoProcess();  // SIGTERM, then waits (SIGKILL after 10 s)
  ServoProcess(const ServoProcess&) = delete;
  ServoProcess& operator=(const ServoProcess&) = delete;

  int port() const { return m_port; }
  std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }
  bool running();
  // Ends the process; returns its exit status (-1 when it had to be killed).
  int terminate();
  std::string err() const;
  std::string out() const;
  // Waits up to timeoutMs until the servo's standard error holds text.
  bool waitForErr(const std::string& text, int timeoutMs) const;

 private:
  pid_t m_pid = -1;
  int m_port = 0;
  int m_status = -1;
  std::string m_outPath;
  std::string m_errPath;
};

// A user interface of its own on a connection to the servo.
class LinkClient {
 public:
  // token: presented first when not empty.
  explicit LinkClient(int port, const std::string& token = "");
  ~LinkClient();
  bool connected() const { return m_socket != nullptr; }
  int descriptor() const;
  ServoAgent& agent() { return *m_agent; }
  // Sends request with dest 1 and waits up to timeoutMs for the reply of type
  // replyType (other messages are skipped). The reply is copied into *reply.
  bool ask(int requestType, int replyType, CMsg* reply, int timeoutMs = 3000);
  // The servo's clock (s), or -1 on no answer.
  float servoTime();

 private:
  std::unique_ptr<PrSocket> m_socket;
  std::unique_ptr<ServoAgent> m_agent;
  CMsg m_request;
};

// Runs "./korvex --connect ADDRESS --script SCRIPT" to its end (killed after timeoutMs).
struct ConsoleRun {
  int status = -1;
  std::string out;
  std::string err;
};
ConsoleRun runRemoteConsole(const std::string& address, const std::string& scriptPath, int timeoutMs = 60000,
                            const std::string& tokenFile = "");
