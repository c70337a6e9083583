// The servo's end of a link to a user interface in another process.
//
// The servo itself keeps talking to its in-process UiAgent; this relay thread
// stands between the two queues and one TCP peer at a time:
//   - requests framed on the socket are checked and put on queue 1;
//   - everything the servo side writes to queue 0 (replies of either
//     destination, gather start/stop and rows, SERVO_TEXT) goes to the peer,
//     so the peer's console sees exactly what a local console would.
// The servo thread therefore never touches the socket: a slow or stalled peer
// fills queue 0, whose writer refuses (and reports) instead of waiting, and a
// send that makes no progress for kStallTimeoutMs drops the peer. Without a
// peer, queue 0 is drained: text is printed on standard output, the rest is
// discarded, except the latest SERVO_CONFIG and SERVO_GAINS, which are kept
// and sent first to every new peer so its console knows the arm at once.
//
// The scope: given the servo's ScopeRing, the relay drains it every
// kScopeBatchMs and sends the ticks as SERVO_SCOPE messages to a peer that
// has asked for them with UI_SCOPE (a window does; a console alone does not);
// otherwise, and without a peer, they are dropped. The ring never makes the
// servo wait: ticks the relay could not take in time are overwritten.
//
// A second peer while one is connected is told so and closed. A request that
// is not a UiMsgType, or a control mode that does not exist (which would end
// the servo's session), is a protocol error: the peer is dropped. UI_QUIT is
// not forwarded: a remote console's quit ends that console only, and the
// servo-only process ends on SIGINT/SIGTERM.
//
// A new peer is sent the latest state and then only what the servo writes
// after it came: the backlog of a peer that was dropped (gather rows, late
// replies) is drained, not handed on. A peer that goes while a gather it
// started is running has that gather stopped, since its file went with it.
//
// With a token (SharedToken.h) a new peer must first send its token line,
// within kTokenWaitMs; until then it is sent nothing and nothing it sends
// reaches the servo. A wrong or missing token closes it with one line on
// standard error.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "servo/ScopeSample.h"
#include "utility/unitMsg.h"

class MesgQueue;
class PrDataInput;
class PrSocket;

class UiRelay {
 public:
  static constexpr int kStallTimeoutMs = 2000;
  static constexpr int kTokenWaitMs = 2000;
  static constexpr int kScopeBatchMs = 20;

  // listeningSocket: a bound, listening TCP socket, owned from now on.
  // token: what every peer must present first (empty: no token asked).
  // scope: the servo's ticks (nullptr: none); read only by the relay's thread.
  explicit UiRelay(int listeningSocket, std::string token = "", ScopeRing* scope = nullptr);
  ~UiRelay();  // stops the thread, closes the sockets
  UiRelay(const UiRelay&) = delete;
  UiRelay& operator=(const UiRelay&) = delete;

  void start();
  void stop();

 private:
  void run();
  void acceptPeer();
  void admit();
  void refuse(int socket, const std::string& from);
  void dropPeer(const char* why);
  void forwardRequests();
  // Reads the peer's token line once it is there; closes a peer whose line
  // is wrong, too long or late.
  void checkToken();
  void refuseToken(const char* why);
  bool acceptable(CMappedMsg& msg);
  void forwardReplies();
  void forwardScope();
  void keepLatestState(const CMappedMsg& msg);
  void sendLatestState();
  bool sendBytes(const char* bytes, int n);

  const int m_listening;
  const std::string m_token;
  MesgQueue* m_toServo;    // queue 1
  MesgQueue* m_fromServo;  // queue 0
  std::unique_ptr<PrSocket> m_peer;
  std::unique_ptr<PrDataInput> m_input;
  std::string m_peerName;
  bool m_admitted = false;  // the peer has presented the token (or none is asked)
  ScopeRing* const m_scope;
  bool m_scopeWanted = false;  // the peer has asked for the scope's ticks
  std::chrono::steady_clock::time_point m_nextScopeBatch;
  CMsg m_scopeMessage;
  bool m_peerGathers = false;  // the peer's last gather request was a start
  std::chrono::steady_clock::time_point m_tokenDeadline;
  std::vector<char> m_config;              // latest SERVO_CONFIG, empty when none yet
  std::vector<std::vector<char>> m_gains;  // latest SERVO_GAINS per control mode
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
