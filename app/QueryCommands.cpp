// Value queries, gathering and plotting.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/CommandHandlers.h"
#include "utility/PsPlotter.h"

namespace {
constexpr int kMaxFileName = 127;  // the servo reads file names as 128 bytes
}  // namespace

bool replyError(char* reply, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(reply, CommandDispatcher::kReplySize, format, args);
  va_end(args);
  return false;
}

CMsg& CommandHandlers::begin(TextUI& ui, int type) {
  ui.m_msg.clear();
  ui.m_msg.setType(type);
  return ui.m_msg;
}

bool CommandHandlers::query(TextUI& ui, const Command& command, Args& /*args*/, char* reply) {
  begin(ui, command.code).writeInt(command.argument);
  const bool sent = send(ui, reply);
  // An answer the listener will count (awaitReplies matches requests and answers).
  if (sent && command.code == UI_CURTIME && command.argument != 0) ++ui.m_timeRequests;
  return sent;
}

bool CommandHandlers::bareRequest(TextUI& ui, const Command& command, Args& /*args*/, char* reply) {
  begin(ui, command.code);
  return send(ui, reply);
}

bool CommandHandlers::startGather(TextUI& ui, const Command& command, Args& args, char* reply) {
  const char* fileName = args.nextWord();
  if (fileName == nullptr) return replyError(reply, "Call to StartGather must specify filename.");
  // A longer name would reach the servo cut short and gather into the wrong file.
  if (std::strlen(fileName) > kMaxFileName) {
    return replyError(reply, "Gather file name longer than %d characters.", kMaxFileName);
  }
  begin(ui, command.code).writeString(fileName);
  return send(ui, reply);
}

bool CommandHandlers::startPlot(TextUI& ui, const Command& /*command*/, Args& args, char* reply) {
  const char* fileName = args.nextWord();
  if (fileName == nullptr) return replyError(reply, "Call to StartPlot must specify filename.");
  // Opening ends a running plot first, which waits for the plot thread; that
  // thread samples the arm under the command mutex.
  withoutCommandLock(ui, [&] {
    if (plotter(ui).open(fileName)) plotter(ui).start();
  });
  return true;
}

bool CommandHandlers::stopPlot(TextUI& ui, const Command& /*command*/, Args& /*args*/, char* /*reply*/) {
  withoutCommandLock(ui, [&] { plotter(ui).stop(); });
  return true;
}

bool CommandHandlers::plotRate(TextUI& ui, const Command& /*command*/, Args& args, char* reply) {
  int ms = 0;
  if (!args.scanInt(ms)) {
    return replyError(reply, "Plotrate must be an integer specifying milliseconds between plot frames.");
  }
  plotter(ui).setPlotRate(ms);  // reports a non-positive interval itself
  return true;
}
