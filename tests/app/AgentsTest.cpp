#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ServoAgent.h"
#include "app/UiAgent.h"
#include "matrix/PrVector.h"
#include "utility/MesgQueue.h"
#include "utility/PrDataInput.h"
#include "utility/PrDataOutput.h"
#include "utility/PrSocket.h"
#include "utility/consolePrint.h"

namespace {

class AgentsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ui.reset();
    servo.reset();
    MesgQueue::releaseAllCollections();
  }

  // Both agents in-process, the way start-up builds them.
  void local() {
    ui = std::make_unique<UiAgent>();
    servo = std::make_unique<ServoAgent>();
  }

  // The UiAgent also on a socket; `peer` is the other end.
  void remote() {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    mine = std::make_unique<PrSocket>(fds[0]);
    peer = std::make_unique<PrSocket>(fds[1]);
    ui = std::make_unique<UiAgent>(mine.get());
    servo = std::make_unique<ServoAgent>();
  }

  // Every SERVO_TEXT message waiting on queue 0, in order.
  std::vector<std::string> texts() {
    std::vector<std::string> out;
    while (servo->hasMessage()) {
      CMappedMsg m = servo->read();
      EXPECT_EQ(m.getType(), SERVO_TEXT);
      std::vector<char> text(MAX_MSG_SIZE);
      EXPECT_TRUE(m.readString(text.data(), MAX_MSG_SIZE));
      out.emplace_back(text.data());
    }
    return out;
  }

  static void request(CMsg& msg, int type, int dest) {
    msg.clear();
    msg.setType(type);
    msg.writeInt(dest);
  }

  std::unique_ptr<PrSocket> mine, peer;
  std::unique_ptr<UiAgent> ui;
  std::unique_ptr<ServoAgent> servo;
};

//---- consolePrint through the agent ------------------------------------------

TEST_F(AgentsTest, PrintsAccumulateIntoOneTextMessagePerLine) {
  local();
  EXPECT_EQ(consolePrintSink(), ui.get());
  EXPECT_EQ(consolePrint("a"), 1);
  EXPECT_FALSE(servo->hasMessage());
  EXPECT_EQ(consolePrint("%c\n", 'b'), 2);
  EXPECT_EQ(texts(), std::vector<std::string>{"ab\n"});

  const std::string longText(4081, 'x');  // no newline, but beyond 4080
  consolePrint("%s", longText.c_str());
  EXPECT_EQ(texts(), std::vector<std::string>{longText});
}

TEST_F(AgentsTest, PrintsThatDoNotFitAreNeverWrittenPastTheBuffer) {
  local();
  const std::string pending(4000, 'p');
  const std::string big(5000, 'q');
  consolePrint("%s", pending.c_str());
  EXPECT_EQ(consolePrint("%s", big.c_str()), 5000);
  EXPECT_EQ(texts(), (std::vector<std::string>{pending, big}));

  const std::string huge(9000, 'h');
  EXPECT_EQ(consolePrint("%s", huge.c_str()), 9000);
  EXPECT_EQ(texts(), std::vector<std::string>{huge.substr(0, UiAgent::TEXT_BUFFER_SIZE)});
  consolePrint("after\n");
  EXPECT_EQ(texts(), std::vector<std::string>{"after\n"});
}

TEST_F(AgentsTest, SinkLeavesWithTheAgent) {
  local();
  consolePrint("unfinished");
  testing::internal::CaptureStdout();
  ui.reset();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "unfinished");
  EXPECT_EQ(consolePrintSink(), nullptr);
}

// A script's "Waiting for ..." is one thread's line; a reply the servo thread
// prints meanwhile is a line of its own and never finishes the other one.
TEST_F(AgentsTest, ThreadsNeverShareALine) {
  local();
  consolePrint("Waiting for %.1f seconds...", 0.2);
  std::thread servoThread([] { consolePrint("cmode=%d\n", 1); });
  servoThread.join();
  EXPECT_EQ(texts(), std::vector<std::string>{"cmode=1\n"});
  consolePrint("Done\n");
  EXPECT_EQ(texts(), std::vector<std::string>{"Waiting for 0.2 seconds...Done\n"});

  // More threads mid-line than slots (all alive at once, so none shares an
  // id): one line is cut short, never mixed with another.
  constexpr int kThreads = ThreadLines::kSlots + 1;
  std::atomic<int> printed{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([i, &printed] {
      consolePrint("t%d", i);
      printed.fetch_add(1);
      while (printed.load() < kThreads) std::this_thread::yield();
    });
  }
  for (std::thread& t : threads) t.join();
  const std::vector<std::string> cut = texts();
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].size(), 2u) << cut[0];
  testing::internal::CaptureStdout();
  ui.reset();
  const std::string rest = testing::internal::GetCapturedStdout();
  EXPECT_EQ(rest.size(), 2u * ThreadLines::kSlots) << rest;
}

//---- requests and replies ----------------------------------------------------

TEST_F(AgentsTest, RequestsTravelFromServoAgentToUiAgent) {
  local();
  EXPECT_FALSE(ui->poll());
  CMsg msg;
  request(msg, UI_KP, 2);
  ASSERT_TRUE(servo->send(msg));
  ASSERT_TRUE(ui->poll());
  EXPECT_EQ(ui->inputSource(), UiAgent::IS_QUEUE);
  CMappedMsg m = ui->read();
  EXPECT_EQ(m.getType(), UI_KP);
  EXPECT_EQ(m.readInt(), 2);
  EXPECT_EQ(ui->inputSource(), UiAgent::IS_NONE);
  EXPECT_FALSE(ui->poll());
}

TEST_F(AgentsTest, PollPrefersTheQueueOverTheSocket) {
  remote();
  PrDataOutput peerOut(peer.get(), MAX_MSG_SIZE - 4);
  CMsg msg;
  request(msg, UI_DQ, 1);
  ASSERT_GT(peerOut.write(msg), 0);
  request(msg, UI_Q, 2);
  ASSERT_TRUE(servo->send(msg));

  ASSERT_TRUE(ui->poll());
  EXPECT_EQ(ui->inputSource(), UiAgent::IS_QUEUE);
  EXPECT_EQ(ui->read().getType(), UI_Q);
  ASSERT_TRUE(ui->poll());
  EXPECT_EQ(ui->inputSource(), UiAgent::IS_SOCKET);
  CMappedMsg m = ui->read();
  EXPECT_EQ(m.getType(), UI_DQ);
  EXPECT_EQ(m.readInt(), 1);
  EXPECT_FALSE(ui->poll());
}

TEST_F(AgentsTest, RepliesAreRoutedByDestination) {
  remote();
  PrDataInput peerIn(peer.get(), MAX_MSG_SIZE - 4);
  CMsg reply;
  reply.setType(SERVO_CURTIME);
  reply.writeFloat(2.5f);

  EXPECT_FALSE(ui->reply(reply, 0));
  EXPECT_FALSE(ui->reply(reply, 3));
  EXPECT_FALSE(servo->hasMessage());
  EXPECT_EQ(peerIn.ready(), -1);

  EXPECT_TRUE(ui->reply(reply, 1));  // the remote link when there is one
  EXPECT_FALSE(servo->hasMessage());
  ASSERT_EQ(peerIn.ready(), 8);
  EXPECT_EQ(peerIn.read().readFloat(), 2.5f);

  EXPECT_TRUE(ui->reply(reply, 2));  // always the local queue
  EXPECT_EQ(peerIn.ready(), -1);
  ASSERT_TRUE(servo->hasMessage());
  EXPECT_EQ(servo->read().readFloat(), 2.5f);

  TearDown();
  local();
  EXPECT_TRUE(ui->reply(reply, 1));  // no link: the local queue
  ASSERT_TRUE(servo->hasMessage());
  EXPECT_EQ(servo->read().getType(), SERVO_CURTIME);
}

TEST_F(AgentsTest, RemoteServoAgentTalksToRemoteUiAgent) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  PrSocket servoSide(fds[0]), uiSide(fds[1]);
  UiAgent agent(&servoSide);
  testing::internal::CaptureStderr();
  ServoAgent proxy(&uiSide);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Set up the servo object\n");

  CMsg msg;
  request(msg, UI_TAU, 1);
  ASSERT_TRUE(proxy.send(msg));
  ASSERT_TRUE(agent.poll());
  EXPECT_EQ(agent.read().getType(), UI_TAU);
  CMsg reply;
  reply.setType(SERVO_TAU);
  const float tau[6] = {1, -2, 3, -4, 5, -6};
  reply.writeFloats(tau, 6);
  ASSERT_TRUE(agent.reply(reply, 1));
  ASSERT_TRUE(proxy.hasMessage());
  CMappedMsg m = proxy.read();
  float back[6];
  m.readFloats(back, 6);
  EXPECT_EQ(std::vector<float>(back, back + 6), std::vector<float>(tau, tau + 6));
}

//---- gather rows and a full queue 0 --------------------------------------------

TEST_F(AgentsTest, GatherRowsGoToQueueZeroAndAFullQueueOnlyRefuses) {
  local();
  PrVector q(6), dq(3);
  for (int i = 0; i < 6; ++i) q[i] = 0.1f * float(i);
  dq[2] = -7;
  const PrVector* list[] = {&q, &dq, nullptr};
  ASSERT_TRUE(ui->sendGatherRow(0.002f, list));
  ASSERT_TRUE(servo->hasMessage());
  CMappedMsg m = servo->read();
  EXPECT_EQ(m.getType(), SERVO_GATHER_DATA);
  EXPECT_EQ(m.length(), 4 + 4 + 4 + 9 * 4);
  EXPECT_EQ(m.readInt(), 10);
  EXPECT_EQ(m.readFloat(), 0.002f);
  float values[9];
  m.readFloats(values, 9);
  EXPECT_EQ(values[5], q[5]);
  EXPECT_EQ(values[8], -7.0f);

  // Nobody reads: rows pile up until the queue refuses them; the servo side
  // goes on, and once the reader catches up rows flow again.
  testing::internal::CaptureStderr();
  int sent = 0;
  while (ui->sendGatherRow(0.0f, list)) ++sent;
  for (int i = 0; i < 100; ++i) EXPECT_FALSE(ui->sendGatherRow(0.0f, list));
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_GT(sent, 5000);
  EXPECT_EQ(MesgQueue::getCollection(0)->refusedWrites(), 101);
  EXPECT_NE(report.find("queue 0 full"), std::string::npos);
  int received = 0;
  while (servo->hasMessage()) {
    EXPECT_EQ(servo->read().getType(), SERVO_GATHER_DATA);
    ++received;
  }
  EXPECT_EQ(received, sent);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(ui->sendGatherRow(1.0f, list));
  testing::internal::GetCapturedStderr();
}

//---- threads -------------------------------------------------------------------

// Console-side threads print while the servo thread replies and the listener
// reads: every line arrives whole, and every reply arrives.
TEST_F(AgentsTest, ConcurrentPrintsAndRepliesKeepQueueZeroSingleWriter) {
  local();
  constexpr int kLines = 2000;
  constexpr int kReplies = 4000;
  auto printer = [](int id) {
    for (int i = 0; i < kLines; ++i) consolePrint("thread %d line %d\n", id, i);
  };
  std::thread a(printer, 1), b(printer, 2);
  std::thread servoThread([this] {
    CMsg reply;
    for (int i = 0; i < kReplies; ++i) {
      reply.clear();
      reply.setType(SERVO_CURTIME);
      reply.writeFloat(static_cast<float>(i));
      ui->reply(reply, 2);
    }
  });

  int next[3] = {0, 0, 0};
  int replies = 0;
  std::string problem;
  while (problem.empty() && (next[1] < kLines || next[2] < kLines || replies < kReplies)) {
    if (!servo->hasMessage()) {
      std::this_thread::yield();
      continue;
    }
    CMappedMsg m = servo->read();
    if (m.getType() == SERVO_CURTIME) {
      if (m.readFloat() != static_cast<float>(replies++)) problem = "reply out of order";
      continue;
    }
    char text[64];
    m.readString(text, sizeof text);
    int id = 0, line = -1;
    if (std::sscanf(text, "thread %d line %d\n", &id, &line) != 2 || id < 1 || id > 2 || line != next[id]++) {
      problem = std::string("unexpected text: ") + text;
    }
  }
  a.join();
  b.join();
  servoThread.join();
  EXPECT_EQ(problem, "");
  EXPECT_EQ(MesgQueue::getCollection(0)->refusedWrites(), 0);
}

//---- preconditions -------------------------------------------------------------

TEST_F(AgentsTest, ReadWithoutPendingRequestAndNullSocketAreFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  local();
  EXPECT_DEATH(ui->read(), "m_inputSource != IS_NONE");
  EXPECT_DEATH(ServoAgent(static_cast<const PrSocket*>(nullptr)), "remoteSocket != NULL");
}

}  // namespace
