// Control-mode switches: UI_CONTROL_MODE with the mode and its goal.
#include "app/CommandHandlers.h"
#include "app/JointLimitCheck.h"
#include "utility/msgPayload.h"

bool CommandHandlers::plainMode(TextUI& ui, const Command& command, Args& /*args*/, char* reply) {
  begin(ui, UI_CONTROL_MODE).writeInt(command.code);
  return send(ui, reply);
}

bool CommandHandlers::jointMode(TextUI& ui, const Command& command, Args& args, char* reply) {
  const ServoConfiguration& cfg = config(ui);
  PrVector goal(cfg.dof);
  if (!args.nextFloats(goal)) return replyError(reply, "Error: expected %d arguments.", cfg.dof);
  if (cfg.jlimit && !withinJointLimits(goal, cfg.qmin, cfg.qmax)) {
    return replyError(reply, "Error: joint limits exceeded.");
  }
  CMsg& msg = begin(ui, UI_CONTROL_MODE);
  msg.writeInt(command.code);
  writeVector(msg, goal);
  return send(ui, reply);
}

bool CommandHandlers::configModeWithElbow(TextUI& ui, const Command& command, Args& args, char* reply) {
  const ServoConfiguration& cfg = config(ui);
  PrVector goal(cfg.numConfigParms);
  int elbow = 0;
  if (!args.nextFloats(goal) || !args.nextInt(elbow)) {
    return replyError(reply, "Error in arguments; expected %d args (including elbow)",
                      cfg.numConfigParms + 1);
  }
  CMsg& msg = begin(ui, UI_CONTROL_MODE);
  msg.writeInt(command.code);
  writeVector(msg, goal);
  msg.writeInt(elbow);
  return send(ui, reply);
}

bool CommandHandlers::configMode(TextUI& ui, const Command& command, Args& args, char* reply) {
  const ServoConfiguration& cfg = config(ui);
  PrVector goal(cfg.numConfigParms);
  if (!args.nextFloats(goal)) return replyError(reply, "Error: expected %d arguments.", cfg.numConfigParms);
  CMsg& msg = begin(ui, UI_CONTROL_MODE);
  msg.writeInt(command.code);
  writeVector(msg, goal);
  return send(ui, reply);
}
