#include "app/RemoteSession.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

#include "app/ServoAgent.h"
#include "app/SharedToken.h"
#include "app/TextUI.h"
#include "servo/Session.h"
#include "utility/MesgQueue.h"
#include "utility/PrSocket.h"
#include "utility/TcpEndpoint.h"

namespace {
// How often the watcher looks at sessionEnded while the link is quiet.
constexpr int kWatchPeriodMs = 20;
}  // namespace

RemoteSession::RemoteSession() = default;

RemoteSession::~RemoteSession() {
  if (m_started) completeShutdown();
}

bool RemoteSession::connect(const TcpAddress& address, int timeoutMs, const std::string& token) {
  std::string error;
  const int s = connectTcp(address, timeoutMs, &error);
  if (s < 0) {
    std::fprintf(stderr, "korvex: %s\n", error.c_str());
    return false;
  }
  if (!token.empty()) {
    // A fresh socket's buffer takes the short line at once.
    const std::string line = tokenLine(token);
    if (::send(s, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
      std::fprintf(stderr, "korvex: could not present the token to %s:%d\n", address.host.c_str(),
                   address.port);
      ::close(s);
      return false;
    }
  }
  m_name = address.host + ":" + std::to_string(address.port);
  m_socket = std::make_unique<PrSocket>(s);
  std::fprintf(stderr, "korvex: connected to the servo at %s\n", m_name.c_str());
  return true;
}

void RemoteSession::receiveScope() { m_scope = std::make_unique<ScopeRing>(); }

void RemoteSession::start(bool endAtEndOfInput, const std::string& startupScript) {
  m_servo = std::make_unique<ServoAgent>(m_socket.get());
  if (m_scope) {
    // Sent before the console's threads run: nobody else writes to the link yet.
    CMsg request;
    request.setType(UI_SCOPE);
    request.writeInt(1);
    if (!m_servo->send(request))
      std::fprintf(stderr, "korvex: could not ask %s for the scope's ticks\n", m_name.c_str());
  }
  m_console = std::make_unique<TextUI>(m_servo.get());
  m_console->setScopeRing(m_scope.get());
  m_console->setEndSessionAtEndOfInput(endAtEndOfInput);
  m_console->setStartupScript(startupScript);
  m_console->start();
  m_watcher = std::thread([this] { watchLink(); });
  m_started = true;
}

void RemoteSession::watchLink() {
  const int s = m_socket->descriptor();
  while (!sessionEnded) {
    // Wakes at once when the servo hangs up; the replies are the listener's to read.
    pollfd p{s, POLLRDHUP, 0};
    if (::poll(&p, 1, kWatchPeriodMs) <= 0) continue;
    if (!peerClosed(s)) {
      // Hung up with replies still unread: the listener drains them first.
      ::poll(nullptr, 0, kWatchPeriodMs);
      continue;
    }
    m_closedByServo = true;
    if (!sessionEnded) {
      std::fprintf(stderr, "korvex: the servo at %s closed the connection.\n", m_name.c_str());
      endSession();
    }
    return;
  }
}

bool RemoteSession::linkClosed() const { return m_closedByServo || peerHungUp(m_socket->descriptor()); }

void RemoteSession::beginShutdown() {
  if (!m_started || m_shutdownBegun) return;
  m_shutdownBegun = true;
  m_watcher.join();
  // "break" asks the servo's side to let this console go (the servo goes on);
  // over a closed link there is nobody to ask, and after the user's own quit
  // the servo has been asked already.
  if (linkClosed() || m_console->quitSent()) {
    endSession();
  } else {
    m_console->processCommand("break");
  }
  m_console->stop();
}

void RemoteSession::completeShutdown() {
  if (!m_started) return;
  beginShutdown();
  m_console->finishSession();
  m_console.reset();
  m_servo.reset();
  m_socket.reset();
  MesgQueue::releaseAllCollections();
  m_started = false;
  std::printf("Exiting.\n");
  std::fflush(stdout);
}
