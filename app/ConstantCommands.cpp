// Servo constants: UI_CONSTANT with the constant type and its values.
#include "app/CommandHandlers.h"
#include "libpuma/RobotModelFactory.h"
#include "protocol/ConstantType.h"
#include "utility/msgPayload.h"

bool CommandHandlers::robotType(TextUI& ui, const Command& command, Args& args, char* reply) {
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  int type = 0;
  if (!args.nextInt(type)) return replyError(reply, "Error in arguments; robottype expects 1 arg");
  // The servo builds a model for the type; there are only seven.
  if (type < 0 || type >= kRobotTypeCount) {
    return replyError(reply, "Error in arguments; robottype must be 0 to %d", kRobotTypeCount - 1);
  }
  msg.writeInt(type);
  return send(ui, reply);
}

bool CommandHandlers::floatConstant(TextUI& ui, const Command& command, Args& args, char* reply) {
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  float value = 0;
  if (!args.nextFloat(value))
    return replyError(reply, "Error in arguments; expected %d arg%s", 1, pluralSuffix(1));
  msg.writeFloat(value);
  return send(ui, reply);
}

bool CommandHandlers::bareConstant(TextUI& ui, const Command& command, Args& /*args*/, char* reply) {
  begin(ui, UI_CONSTANT).writeInt(command.code);
  return send(ui, reply);
}

bool CommandHandlers::jointConstant(TextUI& ui, const Command& command, Args& args, char* reply) {
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  const int dof = config(ui).dof;
  PrVector values(dof);
  if (!args.nextFloats(values)) {
    return replyError(reply, "Error in arguments; expected %d arg%s", dof, pluralSuffix(dof));
  }
  writeVector(msg, values);
  return send(ui, reply);
}

bool CommandHandlers::setObstacle(TextUI& ui, const Command& command, Args& args, char* reply) {
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  int id = 0;
  float sphere[4];  // centre x, y, z, radius
  if (!args.nextInt(id) || !args.nextFloats(sphere, 4)) {
    return replyError(reply, "Error in arguments; setobstacle expects 5 args( id, x, y, z, r )");
  }
  msg.writeInt(id);
  msg.writeFloats(sphere, 4);
  return send(ui, reply);
}

bool CommandHandlers::deleteObstacle(TextUI& ui, const Command& command, Args& args, char* reply) {
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  int id = 0;
  if (!args.nextInt(id)) return replyError(reply, "Error in arguments; delObstacle expects 1 arg( id )");
  msg.writeInt(id);
  return send(ui, reply);
}

bool CommandHandlers::setLine(TextUI& ui, const Command& command, Args& args, char* reply) {
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  float points[6];
  if (!args.nextFloats(points, 6)) return replyError(reply, "Error in arguments; expected %d arg%s", 6, "s");
  msg.writeFloats(points, 6);
  return send(ui, reply);
}

bool CommandHandlers::gains(TextUI& ui, const Command& command, Args& args, char* reply) {
  const bool isKp = command.code == constantNumber(ConstantType::kKp);
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  int mode = 0;
  // The stored tables only exist for modes 0 to 23.
  if (!args.nextInt(mode) || mode < 0 || mode >= kNumControlModes) {
    return replyError(reply, "Error in arguments; %s expects a control mode",
                      constantWord(isKp ? ConstantType::kKp : ConstantType::kKv));
  }
  PrVector values((isKp ? storedKp(ui, mode) : storedKv(ui, mode)).size());
  if (!args.nextFloats(values))
    return replyError(reply, "Error in arguments; expected %d args", values.size() + 1);
  msg.writeInt(mode);
  writeVector(msg, values);
  return send(ui, reply);
}

bool CommandHandlers::displaySwitch(TextUI& ui, const Command& command, Args& args, char* reply) {
  static const char* const kErrors[] = {
      "Error in arguments; setEMassPos expects 1 arg( fOnEE )",
      "Error in arguments; setMSIPos expects 1 arg( fOnEE )",
      "Error in arguments; setIfMaxVelocity expects 1 arg( fIfMaxVel )",
  };
  CMsg& msg = begin(ui, UI_CONSTANT);
  msg.writeInt(command.code);
  int value = 0;
  if (!args.scanInt(value)) return replyError(reply, "%s", kErrors[command.argument]);
  msg.writeInt(value);
  return send(ui, reply);
}
