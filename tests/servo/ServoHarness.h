// Drives a Servo through the real in-process queues: requests go in through
// ServoAgent (queue 1) and replies, gather rows and text come back on queue 0,
// exactly as the console would see them. The arms are paced by a clock that
// advances one period per reading, so every step() is due and ticks run as
// fast as the test calls them.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestPlugins.h"
#include "app/ServoAgent.h"
#include "app/UiAgent.h"
#include "app/UiAgentLink.h"
#include "libpuma/PacingClock.h"
#include "servo/Servo.h"
#include "servo/Session.h"
#include "utility/unitMsg.h"

// One message taken off queue 0, with its own copy of the bytes.
struct Reply {
  int type;
  int length;
  std::shared_ptr<CMsg> msg;  // positioned at the start of the body
  std::string text() {        // SERVO_TEXT body
    char buffer[MAX_MSG_SIZE];
    msg->readString(buffer, sizeof buffer);
    return buffer;
  }
  std::vector<float> floats() {  // the whole body read as floats
    std::vector<float> out((length - MSG_HEADER_SIZE) / 4);
    msg->readFloats(out.data(), int(out.size()));
    return out;
  }
};

inline std::vector<Reply> ofType(const std::vector<Reply>& all, int type) {
  std::vector<Reply> out;
  for (const Reply& r : all)
    if (r.type == type) out.push_back(r);
  return out;
}
inline std::string textOf(const std::vector<Reply>& all) {
  std::string out;
  for (Reply r : ofType(all, SERVO_TEXT)) out += r.text();
  return out;
}

class ServoHarness {
 public:
  explicit ServoHarness(const char* pluginName = "recording_plugin")
      : ServoHarness(loadControlPlugin(testPluginPath(pluginName).c_str())) {}
  explicit ServoHarness(ControlPlugin plugin) : m_link(m_uiAgent) {
    drain();
    beginSession();
    m_servo = std::make_unique<Servo>(m_link, std::move(plugin), &m_clock);
  }
  ~ServoHarness() {
    drain();
    beginSession();
  }

  Servo& servo() { return *m_servo; }
  const ServoState& state() { return m_servo->state(); }

  // Sends a request and lets the servo handle it.
  void request(CMsg& msg) {
    m_servoAgent.send(msg);
    m_servo->handleUiMessage();
  }
  // A request of `type` with one int item (the reply destination, mostly).
  void request(int type, int value) {
    CMsg msg;
    msg.setType(type);
    msg.writeInt(value);
    request(msg);
  }
  void requestEmpty(int type) {
    CMsg msg;
    msg.setType(type);
    request(msg);
  }
  // Full loop passes: a request slot, the tick and the step.
  void tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      m_servo->handleUiMessage();
      m_servo->servoTick();
      m_servo->waitForTick();
    }
  }

  // Everything the servo side sent since the last call.
  std::vector<Reply> replies() {
    std::vector<Reply> out;
    while (m_servoAgent.hasMessage()) {
      CMappedMsg mapped = m_servoAgent.read();
      auto copy = std::make_shared<CMsg>();
      // The mapped record's buffer starts at the header; copy the whole message.
      char bytes[MAX_MSG_SIZE];
      mapped.readBytes(bytes + MSG_HEADER_SIZE, mapped.length() - MSG_HEADER_SIZE);
      writeWireU16(bytes, mapped.length());
      writeWireU16(bytes + 2, mapped.getType());
      copy->setFromBytes(bytes, mapped.length());
      out.push_back(Reply{mapped.getType(), mapped.length(), copy});
    }
    return out;
  }
  // Replies until `count` have come, the servo handling requests meanwhile:
  // for answers built off the servo thread (the MSI). Gives up after 5 s.
  std::vector<Reply> awaitReplies(size_t count) {
    std::vector<Reply> out = replies();
    for (int i = 0; out.size() < count && i < 5000; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      m_servo->handleUiMessage();
      for (Reply& r : replies()) out.push_back(r);
    }
    return out;
  }
  // Whether a reply is waiting on queue 0 (reads nothing).
  bool servoHasReplied() { return m_servoAgent.hasMessage(); }
  void drain() {
    while (m_servoAgent.hasMessage()) m_servoAgent.read();
    while (m_uiAgent.poll()) m_uiAgent.read();
  }

 private:
  UiAgent m_uiAgent;
  ServoAgent m_servoAgent;
  UiAgentLink m_link;
  SteppingClock m_clock;
  std::unique_ptr<Servo> m_servo;
};
