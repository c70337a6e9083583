// UI_ADVANCE and the unpaced servo: ticks run only as far as they are
// granted, the answer comes after exactly the granted ticks, and a program
// can step the servo itself.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ServoHarness.h"
#include "servo/UnpacedPacing.h"

namespace {

// A UI_ADVANCE request that is answered on the local queue.
CMsg& advance(CMsg& msg, int ticks, int sequence) {
  msg.clear();
  msg.setType(UI_ADVANCE);
  msg.writeInt(2);
  msg.writeInt(ticks);
  msg.writeInt(sequence);
  return msg;
}

TEST(ServoAdvance, AnswersAfterExactlyTheGrantedTicksAndAtOnceForNone) {
  ServoHarness h;
  ASSERT_TRUE(h.servo().servoInit());
  h.replies();
  CMsg msg;
  h.request(advance(msg, 0, 1));
  std::vector<Reply> answers = ofType(h.replies(), SERVO_ADVANCED);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].msg->readInt(), 1);

  h.request(advance(msg, 3, 2));
  h.tick(2);
  EXPECT_TRUE(ofType(h.replies(), SERVO_ADVANCED).empty()) << "two of three ticks run";
  h.tick();
  answers = ofType(h.replies(), SERVO_ADVANCED);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].msg->readInt(), 2);
  EXPECT_FLOAT_EQ(answers[0].msg->readFloat(), h.state().curTime);
  EXPECT_EQ(h.servo().advanceTicksLeft(), 0);

  // A second grant before the first has run extends it; one answer, the later sequence.
  h.request(advance(msg, 2, 3));
  h.request(advance(msg, 2, 4));
  h.tick(3);
  EXPECT_TRUE(ofType(h.replies(), SERVO_ADVANCED).empty());
  h.tick();
  answers = ofType(h.replies(), SERVO_ADVANCED);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].msg->readInt(), 4);
}

TEST(ServoAdvance, UnpacedLoopTicksOnlyAsFarAsGranted) {
  UiAgent uiAgent;
  ServoAgent servoAgent;
  UiAgentLink link(uiAgent);
  while (servoAgent.hasMessage()) servoAgent.read();
  beginSession();
  Servo servo(link, loadControlPlugin(testPluginPath("recording_plugin").c_str()),
              std::make_unique<UnpacedPacing>());
  std::thread thread([&] { servo.servoLoop(); });

  // The answer of sequence `sequence`, with the servo time it carries.
  const auto awaitAnswer = [&](int sequence) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
      while (servoAgent.hasMessage()) {
        CMappedMsg reply = servoAgent.read();
        if (reply.getType() == SERVO_ADVANCED && reply.readInt() == sequence) return reply.readFloat();
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return -1.0f;
  };
  CMsg msg;
  servoAgent.send(advance(msg, 0, 1));
  const float atStart = awaitAnswer(1);
  EXPECT_EQ(atStart, 0.0f) << "not even a first tick before a grant";
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // 25 ticks in real time
  servoAgent.send(advance(msg, 0, 2));
  EXPECT_EQ(awaitAnswer(2), atStart) << "no tick without a grant";
  servoAgent.send(advance(msg, 1000, 3));
  EXPECT_NEAR(awaitAnswer(3), atStart + 2.0f, 1e-3f);

  endSession();
  thread.join();
  while (servoAgent.hasMessage()) servoAgent.read();
  beginSession();
}

TEST(ServoAdvance, AProgramCanStepTheServoItself) {
  UiAgent uiAgent;
  ServoAgent servoAgent;
  UiAgentLink link(uiAgent);
  while (servoAgent.hasMessage()) servoAgent.read();
  beginSession();
  Servo servo(link, loadControlPlugin(testPluginPath("recording_plugin").c_str()),
              std::make_unique<UnpacedPacing>());
  ASSERT_TRUE(servo.servoInit());
  CMsg gather;
  gather.setType(UI_START_GATHER);
  gather.writeString("unused.mat");
  servoAgent.send(gather);
  servo.runTicks(50);
  int rows = 0;
  while (servoAgent.hasMessage()) rows += servoAgent.read().getType() == SERVO_GATHER_DATA;
  EXPECT_EQ(rows, 50);
  EXPECT_NEAR(servo.state().curTime, 0.1f, 1e-5f);
  beginSession();
}

}  // namespace
