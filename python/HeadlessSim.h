// HeadlessSim: the whole simulator in the caller's thread, without a clock.
//
// The real console (TextUI: its command table, tokeniser and error texts) and
// the real servo (Servo with UnpacedPacing, the simulated arm and a control
// plug-in) talk through the same in-process queues and agents as in the
// program, but no thread of their own runs: after each command line the
// servo handles every request and the console every answer, and ticks run
// only when asked for. The order of events is that of `korvex --no-gui
// --fast`: no tick before the first grant, and each line handled completely
// before the ticks that follow it; so the same lines give the same ticks as a --fast
// run of the same commands with a wait between them.
//
// The servo text sink (consolePrint) and the session switch are process-wide;
// callers run one HeadlessSim at a time (the Python module holds a lock) and
// call activate() before using one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "servo/ControlPlugin.h"
#include "servo/ServoState.h"
#include "utility/CommandDispatcher.h"

class Servo;
class ServoAgent;
class TextUI;
class UiAgent;
class UiAgentLink;
class ScriptReader;

class HeadlessSim : public CommandDispatcher {
 public:
  // robotType: 0 to 6 as the console's robottype; plugin: a loaded plug-in
  // (it may have no entry points); descriptionPath: the arm's puma560.prm.
  // Check ready() afterwards: false when the arm could not be built.
  HeadlessSim(int robotType, ControlPlugin plugin, const std::string& descriptionPath);
  ~HeadlessSim() override;
  HeadlessSim(const HeadlessSim&) = delete;
  HeadlessSim& operator=(const HeadlessSim&) = delete;

  bool ready() const { return m_ready; }
  // Makes this simulator the receiver of servo-side text.
  void activate();

  // Runs one console line as typed at the prompt ("load FILE" included, its
  // waits running ticks) and lets the servo and the console handle all that
  // follows from it. On failure reply holds the console's error text.
  bool processCommand(const char* line, char* reply = nullptr) override;
  // A script's "wait ms": that much simulated time, (ms + 1) / 2 ticks.
  void pause(long ms) override;
  // quit, exit or break has been given.
  bool sessionOver() const override { return m_ended; }

  // One servo pass (request slot, tick, step), then the console's answers.
  // When a host law stopped in it (servo/ControlLaw.h), selects float.
  void tick();
  // Runs the requests and answers still pending (after a tick whose law stopped).
  void settle();

  Servo& servo() { return *m_servo; }
  const ServoState& state() const;

 private:
  // Runs one line through the console and settles.
  bool dispatch(const char* line, char* reply);

  std::unique_ptr<UiAgent> m_uiAgent;
  std::unique_ptr<ServoAgent> m_servoAgent;
  std::unique_ptr<UiAgentLink> m_link;
  std::unique_ptr<Servo> m_servo;
  std::unique_ptr<TextUI> m_console;
  std::unique_ptr<ScriptReader> m_script;
  bool m_ready = false;
  bool m_ended = false;
  int64_t m_stoppedLaws = 0;
};
