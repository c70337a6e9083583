// Control-mode switches: UI_CONTROL_MODE with the mode and its goal.
#include "app/CommandHandlers.h"
#include "app/JointLimitCheck.h"
#include "protocol/ControlModeRequest.h"

bool CommandHandlers::plainMode(TextUI& ui, const Command& command, Args& /*args*/, char* reply) {
  writeControlModeRequest(begin(ui, UI_CONTROL_MODE), command.code);
  return send(ui, reply);
}

bool CommandHandlers::jointMode(TextUI& ui, const Command& command, Args& args, char* reply) {
  const ServoConfiguration& cfg = config(ui);
  PrVector goal(cfg.dof);
  if (!args.nextFloats(goal)) return replyError(reply, "Error: expected %d arguments.", cfg.dof);
  if (cfg.jlimit && !withinJointLimits(goal, cfg.qmin, cfg.qmax)) {
    return replyError(reply, "Error: joint limits exceeded.");
  }
  writeControlModeRequest(begin(ui, UI_CONTROL_MODE), command.code, goal.dataPtr(), goal.size());
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
  writeControlModeRequest(begin(ui, UI_CONTROL_MODE), command.code, goal.dataPtr(), goal.size(), elbow);
  return send(ui, reply);
}

bool CommandHandlers::configMode(TextUI& ui, const Command& command, Args& args, char* reply) {
  const ServoConfiguration& cfg = config(ui);
  PrVector goal(cfg.numConfigParms);
  if (!args.nextFloats(goal)) return replyError(reply, "Error: expected %d arguments.", cfg.numConfigParms);
  writeControlModeRequest(begin(ui, UI_CONTROL_MODE), command.code, goal.dataPtr(), goal.size());
  return send(ui, reply);
}
