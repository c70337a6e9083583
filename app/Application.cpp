#include "app/Application.h"

#include <chrono>
#include <cstdio>

#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "servo/Servo.h"
#include "servo/Session.h"
#include "utility/MesgQueue.h"

Application::Application() = default;

Application::~Application() {
  if (m_started) completeShutdown();
}

void Application::start(bool endAtEndOfInput, const std::string& startupScript, ServoTiming timing) {
  m_uiAgent = std::make_unique<UiAgent>();
  m_servoAgent = std::make_unique<ServoAgent>();
  m_textUI = std::make_unique<TextUI>(m_servoAgent.get());
  m_textUI->setEndSessionAtEndOfInput(endAtEndOfInput);
  m_textUI->setStartupScript(startupScript);
  m_textUI->setUnpacedServo(timing == ServoTiming::kUnpaced);
  m_textUI->start();
  m_scope = std::make_unique<ScopeRing>();
  m_servoThread = std::thread([agent = m_uiAgent.get(), scope = m_scope.get(), timing] {
    servoLoop(
        *agent, [scope](Servo& servo) { servo.publishScopeSamples(scope); }, {}, timing);
  });
  m_started = true;
}

void Application::waitForSessionEnd() {
  while (!sessionEnded) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void Application::beginShutdown() {
  if (!m_started || m_shutdownBegun) return;
  m_shutdownBegun = true;
  m_textUI->processCommand("break");
  m_textUI->stop();
}

void Application::completeShutdown() {
  if (!m_started) return;
  beginShutdown();
  m_servoThread.join();
  // Nothing writes to the reply queue any more: what is left in it is the
  // end of the gather rows and the servo's last words.
  m_textUI->finishSession();
  m_textUI.reset();
  m_servoAgent.reset();
  m_uiAgent.reset();
  m_scope.reset();
  MesgQueue::releaseAllCollections();
  m_started = false;
  std::printf("Exiting.\n");
  std::fflush(stdout);
}
