// The console of this process against a servo in another process
// ("korvex --servo-only"), linked over TCP.
//
// Owns the connection, the remote ServoAgent and the console, and a watcher
// thread that ends the session when the servo closes the connection, with
// "korvex: the servo at HOST:PORT closed the connection." on standard error.
// Shutdown sends the servo's side a quit ("break") only while the link is
// open: a closed link ends quietly.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/ConsoleSession.h"

class PrSocket;
class ServoAgent;
struct TcpAddress;

class RemoteSession : public ConsoleSession {
 public:
  RemoteSession();
  ~RemoteSession() override;  // completes a shutdown still due
  RemoteSession(const RemoteSession&) = delete;
  RemoteSession& operator=(const RemoteSession&) = delete;

  // False, after a one-line reason on standard error, when the servo cannot be reached.
  // token: presented first when not empty (SharedToken.h).
  bool connect(const TcpAddress& address, int timeoutMs, const std::string& token = "");
  // Before start(), for a window: asks the servo's side for every tick's
  // values, which scopeRing() then holds.
  void receiveScope();
  // After connect(). The arguments are those of Application::start.
  void start(bool endAtEndOfInput, const std::string& startupScript);
  TextUI& console() override { return *m_console; }
  ScopeRing* scopeRing() override { return m_scope.get(); }

  void beginShutdown() override;
  void completeShutdown() override;

 private:
  void watchLink();
  bool linkClosed() const;

  std::string m_name;  // HOST:PORT, for the messages
  std::unique_ptr<PrSocket> m_socket;
  std::unique_ptr<ServoAgent> m_servo;
  std::unique_ptr<TextUI> m_console;
  std::unique_ptr<ScopeRing> m_scope;  // written by the console's listener
  std::thread m_watcher;
  std::atomic<bool> m_closedByServo{false};
  bool m_started = false;
  bool m_shutdownBegun = false;
};
