// The contact spring, the gripper, and ending the session.
#include "app/CommandHandlers.h"
#include "servo/Session.h"
#include "utility/PsPlotter.h"
#include "utility/msgPayload.h"

bool CommandHandlers::setContactPoint(TextUI& ui, const Command& command, Args& args, char* reply) {
  const int dof = config(ui).dof;
  int link = 0;
  float point[3];
  PrVector joints(dof);  // degrees
  if (!args.nextInt(link) || !args.nextFloats(point, 3) || !args.nextFloats(joints)) {
    return replyError(reply, "Error in arguments; expected %d args", dof + 4);
  }
  CMsg& msg = begin(ui, command.code);
  msg.writeInt(link);
  msg.writeFloats(point, 3);
  writeVector(msg, joints);
  return send(ui, reply);
}

bool CommandHandlers::applyContactForce(TextUI& ui, const Command& command, Args& args, char* reply) {
  float target[3];  // world frame, m
  if (!args.nextFloats(target, 3)) return replyError(reply, "Error in arguments; expected 3 args");
  begin(ui, command.code).writeFloats(target, 3);
  return send(ui, reply);
}

bool CommandHandlers::gripper(TextUI& ui, const Command& command, Args& args, char* reply) {
  int value = 0;
  if (!args.scanInt(value)) return replyError(reply, "Error in arguments; gripper encoder value, as int.");
  begin(ui, command.code).writeInt(value);
  return send(ui, reply);
}

bool CommandHandlers::quit(TextUI& ui, const Command& command, Args& /*args*/, char* reply) {
  // Whatever the lines before this one print comes before the end: a plot
  // still running is finished first, then the servo's answers are awaited.
  withoutCommandLock(ui, [&] {
    if (!ui.sessionOver()) plotter(ui).stop();
    ui.awaitReplies(TextUI::kFinalReplyWait);
  });
  begin(ui, command.code);
  const bool sent = send(ui, reply);
  if (sent) ui.m_quitSent = true;
  // A window thread waiting in a getter may proceed while the session ends.
  withoutCommandLock(ui, [] { endSession(); });
  return sent;
}
