// Start-up and shutdown of the simulator's long-lived objects, in order.
//
// Start-up: the servo side's agent (UiAgent, also the sink of consolePrint),
// the console's proxy of the servo (ServoAgent), the console (TextUI) with its
// listener and console threads, then the servo thread. A window, when there
// is one, is created after start() and deleted between beginShutdown() and
// completeShutdown(); it ends the session through its own session-end handler
// (setSessionEndHandler), which must hand any widget work to the GUI thread.
//
// Shutdown, after the session has ended: "break" through the console (the
// servo's quit request and endSession again), console threads stopped, [the
// window deleted], the servo thread joined, the servo's last messages handled
// (gather rows and text sent before it stopped), console and agents deleted,
// the message queues released, "Exiting." printed.
//
// docs/architecture.md shows every thread, queue and lock of the process.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "app/ConsoleSession.h"
#include "app/ServoThread.h"

class ServoAgent;
class TextUI;
class UiAgent;

class Application : public ConsoleSession {
 public:
  Application();
  ~Application() override;  // completes a shutdown still due
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // endAtEndOfInput: end of standard input ends the session (no window).
  // startupScript: run by the console thread before its first prompt.
  // timing kUnpaced: the servo keeps no wall clock and the console steps it
  // (korvex --fast; no window).
  void start(bool endAtEndOfInput, const std::string& startupScript,
             ServoTiming timing = ServoTiming::kRealTime);
  TextUI& console() override { return *m_textUI; }
  ScopeRing* scopeRing() override { return m_scope.get(); }

  // Blocks until the session has ended (used without a window).
  static void waitForSessionEnd();

  void beginShutdown() override;
  void completeShutdown() override;

 private:
  std::unique_ptr<UiAgent> m_uiAgent;
  std::unique_ptr<ServoAgent> m_servoAgent;
  std::unique_ptr<TextUI> m_textUI;
  std::unique_ptr<ScopeRing> m_scope;
  std::thread m_servoThread;
  bool m_started = false;
  bool m_shutdownBegun = false;
};
