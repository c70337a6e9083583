// The handlers behind the console's command words, grouped by theme:
//   QueryCommands.cpp     value queries, gathering, plotting
//   ModeCommands.cpp      control-mode switches
//   ConstantCommands.cpp  servo constants, limits, obstacles, line, gains
//   ArmCommands.cpp       contact spring, gripper, reset, quit
//   HelpCommands.cpp      help and ?
// Every handler runs under the console's command mutex, reads its arguments
// from args and, on failure, writes the error text into reply and returns
// false; nothing is sent then.
#pragma once

#include "app/CommandArgs.h"
#include "app/TextUI.h"

struct CommandHandlers {
  using Args = CommandArgs;

  // code: request; argument: reply destination (1 refresh the stored copy, 0 print).
  static bool query(TextUI& ui, const Command& command, Args& args, char* reply);
  // code: a request without a body.
  static bool bareRequest(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool startGather(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool startPlot(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool stopPlot(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool plotRate(TextUI& ui, const Command& command, Args& args, char* reply);

  // code: control mode.
  static bool plainMode(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool jointMode(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool configModeWithElbow(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool configMode(TextUI& ui, const Command& command, Args& args, char* reply);

  // code: constant type.
  static bool robotType(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool floatConstant(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool bareConstant(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool jointConstant(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool setObstacle(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool deleteObstacle(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool setLine(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool gains(TextUI& ui, const Command& command, Args& args, char* reply);
  // code: constant type; argument: index into the display-switch error texts.
  static bool displaySwitch(TextUI& ui, const Command& command, Args& args, char* reply);

  static bool setContactPoint(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool applyContactForce(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool gripper(TextUI& ui, const Command& command, Args& args, char* reply);
  static bool quit(TextUI& ui, const Command& command, Args& args, char* reply);
  // help and ?: the word list, or one word's arguments; printed on standard output.
  static bool help(TextUI& ui, const Command& command, Args& args, char* reply);

 private:
  // Clears the request record and sets its type.
  static CMsg& begin(TextUI& ui, int type);
  // Sends the request record; false with a reply text when refused.
  static bool send(TextUI& ui, char* reply) { return ui.sendMessage(reply); }
  static const ServoConfiguration& config(const TextUI& ui) { return ui.m_config; }
  static const std::map<std::string, Command>& commands(const TextUI& ui) { return ui.m_commands; }
  static PsPlotter& plotter(TextUI& ui) { return *ui.m_plot; }
  template <typename F>
  static void withoutCommandLock(TextUI& ui, F f) {
    ui.withoutCommandLock(f);
  }
  static const PrVector& storedKp(const TextUI& ui, int mode) { return ui.m_kp[mode]; }
  static const PrVector& storedKv(const TextUI& ui, int mode) { return ui.m_kv[mode]; }
};

// Writes a printf-style error text into reply (CommandDispatcher::kReplySize
// bytes) and returns false, so handlers can "return replyError(...)".
bool replyError(char* reply, const char* format, ...) __attribute__((format(printf, 2, 3)));

// "s" when count calls for a plural.
inline const char* pluralSuffix(int count) { return count >= 2 ? "s" : ""; }
