#include "app/CommandTable.h"

#include "app/CommandHandlers.h"

namespace {
using H = CommandHandlers;
}  // namespace

void registerCommands(std::map<std::string, Command>& table) {
  // Value queries: the plain word refreshes the console's copy (dest 1), the
  // p-prefixed word makes the servo print the value (dest 0).
  table["jpos"] = {H::query, UI_Q, 1};
  table["pjpos"] = {H::query, UI_Q, 0};
  table["jvel"] = {H::query, UI_DQ, 1};
  table["pjvel"] = {H::query, UI_DQ, 0};
  table["torq"] = {H::query, UI_TAU, 1};
  table["ptorq"] = {H::query, UI_TAU, 0};
  table["xpos"] = {H::query, UI_X, 1};
  table["pxpos"] = {H::query, UI_X, 0};
  table["wforce"] = {H::query, UI_FORCES, 1};
  table["pwforce"] = {H::query, UI_FORCES, 0};
  table["curtime"] = {H::query, UI_CURTIME, 1};
  table["pcurtime"] = {H::query, UI_CURTIME, 0};
  table["pkj"] = {H::query, UI_KJ, 0};
  table["pkp"] = {H::query, UI_KP, 0};
  table["pkv"] = {H::query, UI_KV, 0};
  table["pcmode"] = {H::query, UI_CMODE, 0};
  table["pdebug"] = {H::query, UI_DEBUG, 0};

  // Gathering and plotting.
  table["startgather"] = {H::startGather, UI_START_GATHER, 0};
  table["stopgather"] = {H::bareRequest, UI_STOP_GATHER, 0};
  table["startplot"] = {H::startPlot, 0, 0};
  table["stopplot"] = {H::stopPlot, 0, 0};
  table["plotrate"] = {H::plotRate, 0, 0};

  // The contact spring, the gripper and the display switches.
  table["setcontactpoint"] = {H::setContactPoint, UI_SET_CONTACT_POINT, 0};
  table["applycontactforce"] = {H::applyContactForce, UI_APPLY_CONTACT_FORCE, 0};
  table["removecontactforce"] = {H::bareRequest, UI_REMOVE_CONTACT_FORCE, 0};
  table["gripper"] = {H::gripper, UI_GRIPPER, 0};
  table["setemasspos"] = {H::displaySwitch, 24, 0};
  table["setmsipos"] = {H::displaySwitch, 25, 1};
  table["setifmaxvel"] = {H::displaySwitch, 26, 2};

  // Control modes 0 to 23.
  const char* plainModes[] = {"nocontrol", "float", "njhold", "jhold", "nhold", "hold", "open"};
  for (int mode = 0; mode <= 6; ++mode) table[plainModes[mode]] = {H::plainMode, mode, 0};
  const char* jointModes[] = {"njmove", "jmove", "njgoto", "jgoto", "njtrack", "jtrack"};
  for (int i = 0; i < 6; ++i) table[jointModes[i]] = {H::jointMode, 7 + i, 0};
  table["nxtrack"] = {H::configModeWithElbow, 13, 0};
  table["xtrack"] = {H::configModeWithElbow, 14, 0};
  const char* configModes[] = {"ngoto", "goto",  "ntrack", "track", "pfmove",
                               "line",  "proj1", "proj2",  "proj3"};
  for (int i = 0; i < 9; ++i) table[configModes[i]] = {H::configMode, 15 + i, 0};

  // Servo constants, by constant type.
  table["robottype"] = {H::robotType, 0, 0};
  const char* floatConstants[] = {"vmax", "amax", "wmax", "rho0", "eta", "sbound", "springk", "simspeed"};
  for (int i = 0; i < 8; ++i) table[floatConstants[i]] = {H::floatConstant, 1 + i, 0};
  table["jlimit"] = {H::bareConstant, 9, 0};
  table["friction"] = {H::bareConstant, 10, 0};
  table["torqlim"] = {H::bareConstant, 11, 0};
  const char* jointConstants[] = {"qmin", "qmax", "dqmax", "ddqmax", "q0", "kj"};
  for (int i = 0; i < 6; ++i) table[jointConstants[i]] = {H::jointConstant, 12 + i, 0};
  table["setobstacle"] = {H::setObstacle, 18, 0};
  table["delobstacle"] = {H::deleteObstacle, 19, 0};
  table["setline"] = {H::setLine, 20, 0};
  table["delline"] = {H::bareConstant, 21, 0};
  table["kp"] = {H::gains, 22, 0};
  table["kv"] = {H::gains, 23, 0};

  table["reset"] = {H::bareRequest, UI_RESET, 0};
  // Loads control.dll afresh while the arm runs on.
  table["reload"] = {H::bareRequest, UI_RELOAD, 0};
  table["break"] = {H::quit, UI_QUIT, 0};
  table["exit"] = {H::quit, UI_QUIT, 0};
  table["quit"] = {H::quit, UI_QUIT, 0};
}
