// The servo loop on its own thread against the wall clock, driven from
// another thread through the queues as the console drives it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ServoHarness.h"

namespace {

TEST(ServoThreadTest, LoopRunsAtItsRateAnswersRequestsAndEndsWithTheSession) {
  UiAgent uiAgent;
  ServoAgent servoAgent;
  UiAgentLink link(uiAgent);
  while (servoAgent.hasMessage()) servoAgent.read();
  beginSession();
  Servo servo(link, loadControlPlugin(testPluginPath("recording_plugin").c_str()));
  int result = -1;
  std::thread thread([&] { result = servo.servoLoop(); });

  // Requests from this thread, replies read here, while the loop ticks.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  CMsg mode;
  mode.setType(UI_CONTROL_MODE);
  mode.writeInt(kJhold);
  servoAgent.send(mode);
  CMsg time;
  time.setType(UI_CURTIME);
  time.writeInt(2);
  servoAgent.send(time);
  bool gotTime = false, gotEntering = false;
  const auto start = std::chrono::steady_clock::now();
  while (!gotTime && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    while (servoAgent.hasMessage()) {
      CMappedMsg reply = servoAgent.read();
      if (reply.getType() == SERVO_CURTIME) gotTime = reply.readFloat() > 0;
      if (reply.getType() == SERVO_TEXT) {
        char text[64];
        reply.readString(text, sizeof text);
        gotEntering |= std::string(text) == "Entering servoLoop...\n";
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  endSession();
  thread.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(gotTime);
  EXPECT_TRUE(gotEntering);
  EXPECT_EQ(servo.controlMode(), kJhold);
  EXPECT_EQ(servo.robotDriver(), nullptr) << "model and arms are released when the loop ends";
  EXPECT_EQ(servo.robotModel(), nullptr);
  // About 500 ticks per second of wall time; generous bounds for a loaded machine.
  const float seconds = std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count() + 0.1f;
  EXPECT_GT(servo.state().curTime, 0.5f * seconds);
  EXPECT_LT(servo.state().curTime, 1.2f * seconds + 0.05f);
  while (servoAgent.hasMessage()) servoAgent.read();
  beginSession();
}

}  // namespace
