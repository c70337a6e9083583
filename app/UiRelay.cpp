#include "app/UiRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "app/SharedToken.h"
#include "protocol/ControlModeRequest.h"
#include "protocol/ControlModeTable.h"
#include "servo/ScopeMessage.h"
#include "utility/MesgQueue.h"
#include "utility/PrDataInput.h"
#include "utility/PrSocket.h"
#include "utility/TcpEndpoint.h"

namespace {
// Bounds the wait for a peer's bytes or a servo reply; a reply waits at most this long.
constexpr int kPollMs = 1;
// Requests taken from the peer per pass, so a flood cannot starve the replies.
constexpr int kRequestsPerPass = 64;
constexpr int kSendBufferBytes = 128 * 1024;

std::string peerAddress(const sockaddr_in& where) {
  char text[INET_ADDRSTRLEN] = "?";
  ::inet_ntop(AF_INET, &where.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(where.sin_port));
}

void encodeText(CMsg& msg, const char* text) {
  msg.clear();
  msg.setType(SERVO_TEXT);
  msg.writeString(text);
}
}  // namespace

UiRelay::UiRelay(int listeningSocket, std::string token, ScopeRing* scope)
    : m_listening(listeningSocket),
      m_token(std::move(token)),
      m_toServo(MesgQueue::getCollection(1)),
      m_fromServo(MesgQueue::getCollection(0)),
      m_scope(scope),
      m_gains(kNumControlModes) {}

UiRelay::~UiRelay() {
  stop();
  ::close(m_listening);
}

void UiRelay::start() {
  m_stop = false;
  m_thread = std::thread([this] { run(); });
}

void UiRelay::stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  // The servo's last words still reach the peer before the socket closes.
  forwardReplies();
  m_input.reset();
  m_peer.reset();
}

void UiRelay::run() {
  while (!m_stop) {
    pollfd fds[2] = {{m_listening, POLLIN, 0}, {m_peer ? m_peer->descriptor() : -1, POLLIN | POLLRDHUP, 0}};
    const int ready = ::poll(fds, 2, kPollMs);
    if (ready > 0 && (fds[0].revents & POLLIN) != 0) acceptPeer();
    if (m_peer && !m_admitted) {
      checkToken();
    } else if (m_peer && (fds[1].revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) != 0) {
      forwardRequests();
    }
    forwardReplies();
    forwardScope();
  }
}

void UiRelay::acceptPeer() {
  sockaddr_in where{};
  socklen_t size = sizeof where;
  const int s = ::accept4(m_listening, reinterpret_cast<sockaddr*>(&where), &size, SOCK_CLOEXEC);
  if (s < 0) {
    if (errno != EAGAIN && errno != EINTR) std::perror("korvex: accept() error");
    return;
  }
  const std::string from = peerAddress(where);
  if (m_peer) {
    refuse(s, from);
    return;
  }
  const int on = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  // A peer that stops reading holds a send only this long (see dropPeer in sendBytes).
  timeval stall{kStallTimeoutMs / 1000, (kStallTimeoutMs % 1000) * 1000};
  ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &stall, sizeof stall);
  // A bounded send buffer (about a second of gather rows), so a stalled peer is noticed in seconds.
  const int sendBuffer = kSendBufferBytes;
  ::setsockopt(s, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
  m_peer = std::make_unique<PrSocket>(s);
  m_input = std::make_unique<PrDataInput>(m_peer.get(), MAX_MSG_SIZE - MSG_HEADER_SIZE);
  m_peerName = from;
  m_admitted = false;
  m_scopeWanted = false;
  if (!m_token.empty()) {
    m_tokenDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTokenWaitMs);
    return;
  }
  admit();
}

void UiRelay::admit() {
  // What the servo wrote before this peer came (a gone peer's rows and late
  // replies) is not its business: only the latest state is.
  forwardReplies();
  m_admitted = true;
  std::fprintf(stderr, "korvex: user interface connected from %s.\n", m_peerName.c_str());
  sendLatestState();
}

void UiRelay::checkToken() {
  char line[kMaxTokenLine];
  const ssize_t n = ::recv(m_peer->descriptor(), line, sizeof line, MSG_PEEK | MSG_DONTWAIT);
  const void* end = n > 0 ? std::memchr(line, '\n', static_cast<size_t>(n)) : nullptr;
  if (end == nullptr) {
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) return refuseToken("no token");
    if (n >= kMaxTokenLine) return refuseToken("wrong token");
    if (std::chrono::steady_clock::now() >= m_tokenDeadline) return refuseToken("no token in time");
    return;
  }
  // Take exactly the token line; what follows it is the peer's first request.
  const size_t length = static_cast<size_t>(static_cast<const char*>(end) - line) + 1;
  if (::recv(m_peer->descriptor(), line, length, MSG_DONTWAIT) != static_cast<ssize_t>(length)) {
    return refuseToken("no token");
  }
  const size_t preamble = std::strlen(kTokenPreamble);
  const bool framed = length > preamble && std::memcmp(line, kTokenPreamble, preamble) == 0;
  const std::string offered = framed ? std::string(line + preamble, length - preamble - 1) : std::string();
  if (!tokensEqual(offered, m_token) || !framed) return refuseToken("wrong token");
  admit();
}

void UiRelay::refuseToken(const char* why) {
  std::fprintf(stderr, "korvex: refused the user interface at %s: %s.\n", m_peerName.c_str(), why);
  m_input.reset();
  m_peer.reset();
  m_peerName.clear();
}

void UiRelay::refuse(int socket, const std::string& from) {
  std::fprintf(stderr, "korvex: refused a connection from %s: %s is already connected.\n", from.c_str(),
               m_peerName.c_str());
  CMsg notice;
  char text[160];
  std::snprintf(text, sizeof text,
                "korvex: the servo already has a user interface connected (%s); try again later.\n",
                m_peerName.c_str());
  encodeText(notice, text);
  const char* bytes = nullptr;
  int n = 0;
  notice.prepareForSending(&bytes, &n);
  // A fresh socket's buffer takes this short notice at once; never wait for this peer.
  (void)!::send(socket, bytes, static_cast<size_t>(n), MSG_NOSIGNAL | MSG_DONTWAIT);
  ::close(socket);
}

void UiRelay::dropPeer(const char* why) {
  std::fprintf(stderr, "korvex: %s (%s); the servo goes on and waits for a new connection.\n", why,
               m_peerName.c_str());
  m_input.reset();
  m_peer.reset();
  m_peerName.clear();
  if (!m_peerGathers) return;
  // Its gather file went with it; the servo would stream rows to nobody (and
  // to the next peer) until told.
  CMsg stop;
  stop.setType(UI_STOP_GATHER);
  m_toServo->write(stop);
  m_peerGathers = false;
}

void UiRelay::forwardRequests() {
  for (int i = 0; i < kRequestsPerPass && m_peer; ++i) {
    const int size = m_input->ready();
    if (size == -2) {
      dropPeer("dropped the user interface after a broken or garbled message");
      return;
    }
    if (size < 0) {
      if (peerClosed(m_peer->descriptor())) dropPeer("the user interface disconnected");
      return;
    }
    CMappedMsg msg = m_input->read();
    if (!acceptable(msg)) return;
    if (!m_toServo->WriteBytes(msg.data(), msg.length())) {
      std::fprintf(stderr, "korvex: the servo's request queue is full; a request from %s was dropped.\n",
                   m_peerName.c_str());
    } else if (msg.getType() == UI_START_GATHER || msg.getType() == UI_STOP_GATHER) {
      m_peerGathers = msg.getType() == UI_START_GATHER;
    }
  }
}

bool UiRelay::acceptable(CMappedMsg& msg) {
  const int type = msg.getType();
  if (type < 0 || type >= UI_MSG_TYPE_COUNT) {
    dropPeer("dropped the user interface: a message that is not a request (protocol error)");
    return false;
  }
  if (type == UI_QUIT) {
    std::fprintf(stderr, "korvex: quit from %s ends that console only; the servo goes on.\n",
                 m_peerName.c_str());
    return false;
  }
  if (type == UI_SCOPE) {
    CMappedMsg copy = msg;
    const int on = copy.readInt();
    m_scopeWanted = !copy.truncated() && on != 0;
    // The peer gets the ticks from its request on.
    if (m_scope) m_scope->drain([](const ScopeSample&) {});
    return false;
  }
  if (type == UI_CONTROL_MODE) {
    if (!isControlMode(leadingMode(msg))) {
      dropPeer("dropped the user interface: a control mode that does not exist (protocol error)");
      return false;
    }
  }
  return true;
}

void UiRelay::forwardReplies() {
  while (m_fromServo->hasData()) {
    CMappedMsg msg = m_fromServo->read();
    keepLatestState(msg);
    if (m_peer && m_admitted) {
      // A failed send drops the peer; the rest of its backlog is then drained below.
      (void)sendBytes(msg.data(), msg.length());
    } else if (msg.getType() == SERVO_TEXT) {
      char text[MAX_MSG_SIZE];
      msg.readString(text, sizeof text);
      std::fputs(text, stdout);
      std::fflush(stdout);
    }
  }
}

void UiRelay::forwardScope() {
  if (m_scope == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < m_nextScopeBatch) return;
  m_nextScopeBatch = now + std::chrono::milliseconds(kScopeBatchMs);
  int batched = 0;
  const auto send = [&] {
    if (batched > 0 && m_peer) {
      const char* bytes = nullptr;
      int n = 0;
      m_scopeMessage.prepareForSending(&bytes, &n);
      sendBytes(bytes, n);
    }
    batched = 0;
  };
  m_scope->drain([&](const ScopeSample& sample) {
    if (!m_peer || !m_admitted || !m_scopeWanted) return;
    if (batched == 0) beginScopeMessage(m_scopeMessage);
    appendScopeSample(m_scopeMessage, sample);
    if (++batched == kScopeSamplesPerMessage) send();
  });
  send();
}

void UiRelay::keepLatestState(const CMappedMsg& msg) {
  const char* bytes = msg.data();
  if (msg.getType() == SERVO_CONFIG) {
    m_config.assign(bytes, bytes + msg.length());
  } else if (msg.getType() == SERVO_GAINS) {
    const int mode = leadingMode(msg);
    if (isControlMode(mode)) m_gains[mode].assign(bytes, bytes + msg.length());
  }
}

void UiRelay::sendLatestState() {
  if (!m_config.empty() && !sendBytes(m_config.data(), static_cast<int>(m_config.size()))) return;
  for (const std::vector<char>& gains : m_gains) {
    if (!gains.empty() && !sendBytes(gains.data(), static_cast<int>(gains.size()))) return;
  }
}

bool UiRelay::sendBytes(const char* bytes, int n) {
  int sent = 0;
  while (sent < n) {
    const ssize_t k = ::send(m_peer->descriptor(), bytes + sent, static_cast<size_t>(n - sent), MSG_NOSIGNAL);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        dropPeer("dropped the user interface: it stopped reading");
      } else {
        dropPeer("lost the user interface connection");
      }
      return false;
    }
    sent += static_cast<int>(k);
  }
  return true;
}
