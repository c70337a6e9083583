// The relay between the servo's queues and one TCP peer, in process: what it
// forwards, what it holds back, and what it keeps for the next peer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "ServoProcess.h"
#include "app/ServoAgent.h"
#include "app/UiRelay.h"
#include "protocol/ControlModeTable.h"
#include "servo/ScopeMessage.h"
#include "utility/MesgQueue.h"
#include "utility/TcpEndpoint.h"

namespace {
using Clock = std::chrono::steady_clock;

class UiRelayTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    const int listening = listenTcp(TcpAddress{"127.0.0.1", 0}, &error);
    ASSERT_GE(listening, 0) << error;
    port = boundPort(listening);
    scope = std::make_unique<ScopeRing>();
    relay = std::make_unique<UiRelay>(listening, "", scope.get());
    relay->start();
  }
  void TearDown() override {
    relay.reset();
    MesgQueue::releaseAllCollections();
  }

  static void sendRequest(LinkClient& client, int type, int value) {
    CMsg msg;
    msg.setType(type);
    msg.writeInt(value);
    ASSERT_TRUE(client.agent().send(msg));
  }
  // The next message the servo would poll, or -1 after timeoutMs.
  static int nextRequestType(int timeoutMs) {
    MesgQueue* toServo = MesgQueue::getCollection(1);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
      if (toServo->hasData()) return toServo->read().getType();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
  }
  static int nextReplyType(LinkClient& client, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
      if (client.agent().hasMessage()) return client.agent().read().getType();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
  }
  static bool closedWithin(LinkClient& client, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
      if (peerClosed(client.descriptor())) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  // Every scope sample that reaches the client within timeoutMs.
  static std::vector<ScopeSample> scopeSamples(LinkClient& client, int timeoutMs) {
    std::vector<ScopeSample> samples;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
      if (!client.agent().hasMessage()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      CMappedMsg msg = client.agent().read();
      if (msg.getType() != SERVO_SCOPE) continue;
      const int n = scopeSamplesIn(msg);
      EXPECT_GT(n, 0);
      for (int i = 0; i < n; ++i) {
        ScopeSample s;
        EXPECT_TRUE(readScopeSample(msg, s));
        samples.push_back(s);
      }
    }
    return samples;
  }

  // The servo's tick n, its number in every value.
  static ScopeSample tick(int n) {
    ScopeSample s;
    s.time = float(n) * 0.002f;
    s.dof = 6, s.config = 7, s.rate = 6, s.mode = 16;
    for (int k = 0; k < 6; ++k) s.q[k] = s.qd[k] = s.dq[k] = s.tau[k] = s.dx[k] = float(n) + 0.1f * float(k);
    for (int k = 0; k < 7; ++k) s.x[k] = s.xd[k] = -float(n) - 0.1f * float(k);
    return s;
  }
  void publish(int count) {
    for (int i = 0; i < count; ++i) scope->push(tick(published++));
  }
  // The relay has handled what the client sent before: a UI_Q sent now reaches the servo.
  void handled(LinkClient& client) {
    sendRequest(client, UI_Q, 1);
    ASSERT_EQ(nextRequestType(3000), UI_Q);
  }

  int port = 0;
  std::unique_ptr<ScopeRing> scope;
  std::unique_ptr<UiRelay> relay;
  int published = 0;
};

TEST_F(UiRelayTest, RequestsReachTheServoButQuitDoesNot) {
  LinkClient client(port);
  ASSERT_TRUE(client.connected());
  sendRequest(client, UI_QUIT, 0);
  sendRequest(client, UI_Q, 1);
  sendRequest(client, UI_CONTROL_MODE, kFloat);
  EXPECT_EQ(nextRequestType(2000), UI_Q);
  EXPECT_EQ(nextRequestType(2000), UI_CONTROL_MODE);
  EXPECT_EQ(nextRequestType(100), -1);
  EXPECT_FALSE(peerClosed(client.descriptor()));
}

TEST_F(UiRelayTest, ProtocolErrorsDropThePeerAndNothingReachesTheServo) {
  const std::pair<int, int> refused[] = {{UI_CONTROL_MODE, kNumControlModes}, {UI_CONTROL_MODE, -1}, {99, 0}};
  for (const auto& [type, value] : refused) {
    LinkClient client(port);
    ASSERT_TRUE(client.connected());
    sendRequest(client, type, value);
    EXPECT_TRUE(closedWithin(client, 2000)) << "type " << type << " value " << value;
  }
  EXPECT_EQ(nextRequestType(50), -1);
}

TEST_F(UiRelayTest, EveryServoMessageGoesToThePeerAndTheLatestStateToTheNext) {
  MesgQueue* fromServo = MesgQueue::getCollection(0);
  CMsg msg;
  // Before any peer: the configuration and the gains of mode 3 are kept, a row is not.
  msg.setType(SERVO_CONFIG);
  msg.writeInt(3);
  ASSERT_TRUE(fromServo->write(msg));
  msg.clear();
  msg.setType(SERVO_GAINS);
  msg.writeInt(3);
  ASSERT_TRUE(fromServo->write(msg));
  msg.clear();
  msg.setType(SERVO_GATHER_DATA);
  ASSERT_TRUE(fromServo->write(msg));

  LinkClient client(port);
  ASSERT_TRUE(client.connected());
  EXPECT_EQ(nextReplyType(client, 2000), SERVO_CONFIG);
  EXPECT_EQ(nextReplyType(client, 2000), SERVO_GAINS);
  // Replies meant for the local queue (gather start, rows, text) travel too.
  for (const int type : {SERVO_START_GATHER, SERVO_GATHER_DATA, SERVO_TEXT, SERVO_Q}) {
    msg.clear();
    msg.setType(type);
    ASSERT_TRUE(fromServo->write(msg));
    EXPECT_EQ(nextReplyType(client, 2000), type);
  }
  EXPECT_EQ(nextReplyType(client, 50), -1);
}

// Plays the servo: streams gather rows while a gather is on (keeping queue 0
// full when nobody drains it) and answers UI_CURTIME.
class GatheringServo {
 public:
  GatheringServo() : m_thread([this] { run(); }) {}
  ~GatheringServo() {
    m_done = true;
    m_thread.join();
  }
  bool stopped() const { return m_stopped; }

 private:
  void run() {
    MesgQueue* toServo = MesgQueue::getCollection(1);
    MesgQueue* fromServo = MesgQueue::getCollection(0);
    CMsg row;
    row.setType(SERVO_GATHER_DATA);
    row.writeInt(200);
    for (int i = 0; i < 200; ++i) row.writeFloat(static_cast<float>(i));
    CMsg reply;
    bool gathering = false;
    while (!m_done) {
      if (toServo->hasData()) {
        const int type = toServo->read().getType();
        if (type == UI_START_GATHER) gathering = true;
        if (type == UI_STOP_GATHER) {
          gathering = false;
          m_stopped = true;
        }
        if (type == UI_CURTIME) {
          reply.clear();
          reply.setType(SERVO_CURTIME);
          reply.writeFloat(1.0f);
          fromServo->write(reply);
        }
      } else if (!gathering || !fromServo->write(row)) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    }
  }

  std::atomic<bool> m_done{false};
  std::atomic<bool> m_stopped{false};
  std::thread m_thread;
};

TEST_F(UiRelayTest, APeerThatStopsReadingLeavesNeitherItsRowsNorItsGatherToTheNext) {
  GatheringServo servo;
  LinkClient stalled(port);
  ASSERT_TRUE(stalled.connected());
  CMsg start;
  start.setType(UI_START_GATHER);
  start.writeString("stalled.mat");
  ASSERT_TRUE(stalled.agent().send(start));

  // The next peer comes while the relay is still stuck sending to the stalled
  // one, so it is accepted right after the drop, with the stalled peer's
  // backlog (a queue full of rows) still there. While the relay can still
  // see it, it is refused: then it tries again.
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  int rowsSeen = 0;
  bool answered = false;
  while (!answered && Clock::now() < deadline) {
    LinkClient next(port);
    ASSERT_TRUE(next.connected());
    CMsg ask;
    ask.setType(UI_CURTIME);
    ask.writeInt(1);
    if (!next.agent().send(ask)) continue;  // refused already
    rowsSeen = 0;
    while (!answered && Clock::now() < deadline && !peerClosed(next.descriptor())) {
      if (!next.agent().hasMessage()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      const int type = next.agent().read().getType();
      if (type == SERVO_GATHER_DATA) ++rowsSeen;
      answered = type == SERVO_CURTIME;
    }
  }
  ASSERT_TRUE(answered) << "the next peer was never served";
  EXPECT_TRUE(servo.stopped()) << "the stalled peer's gather went on";
  // At most the one row the servo may have been writing when the stop came.
  EXPECT_LE(rowsSeen, 1);
}

TEST_F(UiRelayTest, ScopeTicksGoWholeAndInOrderOnlyToAPeerThatAskedForThem) {
  // Like a console alone, the peer has not asked yet: it is sent none.
  LinkClient window(port);
  ASSERT_TRUE(window.connected());
  handled(window);
  publish(100);
  EXPECT_TRUE(scopeSamples(window, 200).empty());

  sendRequest(window, UI_SCOPE, 1);
  handled(window);
  const int firstAsked = published;
  std::vector<ScopeSample> got;
  const auto collected = Clock::now() + std::chrono::seconds(10);
  while (got.size() < 300 && Clock::now() < collected) {
    publish(2);  // a servo's pace: two ticks a 4 ms
    for (const ScopeSample& s : scopeSamples(window, 4)) got.push_back(s);
  }
  ASSERT_GE(got.size(), 300u);
  // From the request on, every tick once, in order, its values intact.
  const int first = int(std::lround(got[0].time / 0.002f));
  EXPECT_EQ(first, firstAsked);
  for (size_t i = 0; i < got.size(); ++i) {
    const ScopeSample expected = tick(first + int(i));
    ASSERT_EQ(std::memcmp(&got[i], &expected, sizeof expected), 0) << "sample " << i << " of tick " << first;
  }

  // Asked to stop, it sends nothing of the ticks after.
  sendRequest(window, UI_SCOPE, 0);
  handled(window);
  scopeSamples(window, 100);
  publish(100);
  EXPECT_TRUE(scopeSamples(window, 200).empty());
}
}  // namespace
