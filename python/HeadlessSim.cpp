#include "python/HeadlessSim.h"

#include <cstdio>
#include <cstring>

#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "app/UiAgentLink.h"
#include "protocol/ControlModeTable.h"
#include "servo/Servo.h"
#include "servo/Session.h"
#include "servo/UnpacedPacing.h"
#include "utility/ScriptReader.h"

HeadlessSim::HeadlessSim(int robotType, ControlPlugin plugin, const std::string& descriptionPath) {
  beginSession();
  m_uiAgent = std::make_unique<UiAgent>();
  m_servoAgent = std::make_unique<ServoAgent>();
  m_link = std::make_unique<UiAgentLink>(*m_uiAgent);
  m_servo = std::make_unique<Servo>(*m_link, std::move(plugin), std::make_unique<UnpacedPacing>());
  m_servo->setDescriptionPath(descriptionPath);
  m_console = std::make_unique<TextUI>(m_servoAgent.get());
  m_console->setRepliesPolledByCaller(true);
  m_script = std::make_unique<ScriptReader>(this);
  activate();
  m_ready = m_servo->servoInit();
  if (!m_ready) return;
  settle();
  if (robotType != Servo::kInitialRobotType) {
    char line[32];
    std::snprintf(line, sizeof line, "robottype %d", robotType);
    m_ready = dispatch(line, nullptr) && m_servo->robotType() == robotType;
  }
}

HeadlessSim::~HeadlessSim() {
  activate();
  // The console closes a gather file still open; the servo goes first so
  // that nothing is left to answer.
  m_console->finishSession();
  m_script.reset();
  m_console.reset();
  m_servo.reset();
  m_link.reset();
  m_servoAgent.reset();
  m_uiAgent.reset();
}

void HeadlessSim::activate() { setConsolePrintSink(m_uiAgent.get()); }

const ServoState& HeadlessSim::state() const { return m_servo->state(); }

bool HeadlessSim::processCommand(const char* line, char* reply) {
  if (m_ended) {
    if (reply) std::snprintf(reply, kReplySize, "The session has ended.");
    return false;
  }
  // As the console thread does: a line starting with "load" runs a script.
  if (std::strncmp(line, "load", 4) == 0) {
    char name[kReplySize];
    std::snprintf(name, sizeof name, "%s", std::strlen(line) > 5 ? line + 5 : "");
    m_script->run(name);
    settle();
    return true;
  }
  return dispatch(line, reply);
}

bool HeadlessSim::dispatch(const char* line, char* reply) {
  const bool ok = m_console->processCommand(line, reply);
  settle();
  if (sessionEnded.load()) {
    // quit, exit or break: this simulator is done; others in the process go on.
    m_ended = true;
    beginSession();
  }
  return ok;
}

void HeadlessSim::pause(long ms) {
  // Cut to a day, as the console does.
  const long ticks = ((ms < kLongestPauseMs ? ms : kLongestPauseMs) + 1) / 2;
  for (long i = 0; i < ticks && !m_ended; ++i) tick();
}

void HeadlessSim::tick() {
  m_servo->runTicks(1);
  m_console->pollServoMessages();
  if (m_servo->stoppedLawCount() != m_stoppedLaws) {
    // A host law failed this tick and the plug-in's float law stood in; from
    // the next tick on the arm floats, as if float had been typed.
    m_stoppedLaws = m_servo->stoppedLawCount();
    dispatch(controlModeWord(kFloat), nullptr);
  }
}

void HeadlessSim::settle() {
  // A request may bring an answer that brings a request (a gather file that
  // cannot be opened is stopped again), so go on until both sides are quiet.
  for (;;) {
    bool busy = false;
    while (m_servo->handleUiMessage()) busy = true;
    if (m_console->pollServoMessages() > 0) busy = true;
    if (!busy) return;
  }
}
