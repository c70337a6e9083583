// The relay between the servo's queues and one TCP peer, in process: what it
// forwards, what it holds back, and what it keeps for the next peer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "ServoProcess.h"
#include "app/ServoAgent.h"
#include "app/UiRelay.h"
#include "protocol/ControlModeTable.h"
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
    relay = std::make_unique<UiRelay>(listening);
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

  int port = 0;
  std::unique_ptr<UiRelay> relay;
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
}  // namespace
