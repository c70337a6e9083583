// The relay between the servo's queues and one TCP peer, in process: what it
// forwards, what it holds back, and what it keeps for the next peer.
#include <gtest/gtest.h>

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
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

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
}  // namespace
