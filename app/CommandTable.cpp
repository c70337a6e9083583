#include "app/CommandTable.h"

#include <array>
#include <string>

#include "app/CommandHandlers.h"
#include "protocol/ConstantType.h"
#include "protocol/ControlModeTable.h"

namespace {
using H = CommandHandlers;
using A = ArgumentHelp;
using T = CommandTheme;
using C = ConstantType;
using Table = std::map<std::string, Command>;

// ---- arguments shared by several words -------------------------------------

const A kJointGoal{"joint goal", A::kPerJoint, "number", "degrees", "0 -45 135 0 45 0"};
const A kConfigGoal{"operational goal", A::kPerConfigParm, "number",
                    "metres for the position; angles in degrees, quaternion parts plain",
                    "0.7 0.2 0.25 0.396754 0 0.917925 0"};
const A kElbow{"elbow", 1, "integer", "0 or 1, which elbow posture", "0"};
const A kFileName{"file", 1, "file name", "", "data.mat"};
const A kOnOff{"switch", 1, "integer", "1 on, 0 off", "1"};

void add(Table& table, const char* word, Command::Handler handler, int code, int argument, T theme,
         const char* summary, std::vector<A> arguments = {}) {
  const int order = static_cast<int>(table.size());  // help lists the words as registered here
  table[word] = {handler, code, argument, {theme, summary, std::move(arguments), order}};
}

// A constant's word and the type number its request carries.
void add(Table& table, ConstantType type, Command::Handler handler, int argument, T theme,
         const char* summary, std::vector<A> arguments = {}) {
  add(table, constantWord(type), handler, constantNumber(type), argument, theme, summary,
      std::move(arguments));
}

void addQueries(Table& t) {
  // The plain word refreshes the console's copy (dest 1), the p-prefixed word
  // makes the servo print the value (dest 0).
  const T q = T::kQueries;
  add(t, "jpos", H::query, UI_Q, 1, q, "refresh the console's copy of the joint positions (prints nothing)");
  add(t, "pjpos", H::query, UI_Q, 0, q, "print the joint positions, degrees");
  add(t, "jvel", H::query, UI_DQ, 1, q,
      "refresh the console's copy of the joint velocities (prints nothing)");
  add(t, "pjvel", H::query, UI_DQ, 0, q, "print the joint velocities, degrees/s");
  add(t, "torq", H::query, UI_TAU, 1, q, "refresh the console's copy of the joint torques (prints nothing)");
  add(t, "ptorq", H::query, UI_TAU, 0, q, "print the joint torques, N m");
  add(t, "xpos", H::query, UI_X, 1, q,
      "refresh the console's copy of the operational position (prints nothing)");
  add(t, "pxpos", H::query, UI_X, 0, q, "print the operational position: metres, then the orientation");
  add(t, "wforce", H::query, UI_FORCES, 1, q,
      "refresh the console's copy of the contact forces (prints nothing)");
  add(t, "pwforce", H::query, UI_FORCES, 0, q, "print the forces at the contact point");
  add(t, "curtime", H::query, UI_CURTIME, 1, q,
      "refresh the console's copy of the servo clock (prints nothing)");
  add(t, "pcurtime", H::query, UI_CURTIME, 0, q, "print the servo clock, seconds");
  add(t, "pkj", H::query, UI_KJ, 0, q, "print the joint-limit gains kj");
  add(t, "pkp", H::query, UI_KP, 0, q, "print the position gains of the current mode");
  add(t, "pkv", H::query, UI_KV, 0, q, "print the velocity gains of the current mode");
  add(t, "pcmode", H::query, UI_CMODE, 0, q, "print the number of the current control mode");
  add(t, "pdebug", H::query, UI_DEBUG, 0, q, "have the control plug-in print its debug values");
}

void addFiles(Table& t) {
  const T f = T::kFiles;
  add(t, "startgather", H::startGather, UI_START_GATHER, 0, f,
      "gather one row per servo tick into a text file (time, q, dq, qd, x, dx, xd)", {kFileName});
  add(t, "stopgather", H::bareRequest, UI_STOP_GATHER, 0, f, "stop gathering and close the file");
  add(t, "startplot", H::startPlot, 0, 0, f, "plot the arm's motion into a PostScript file",
      {{"file", 1, "file name", "", "data.ps"}});
  add(t, "stopplot", H::stopPlot, 0, 0, f, "stop plotting and close the file");
  add(t, "plotrate", H::plotRate, 0, 0, f, "set the time between plot frames",
      {{"interval", 1, "integer", "ms", "40"}});
}

void addContact(Table& t) {
  const T c = T::kContact;
  add(t, "setcontactpoint", H::setContactPoint, UI_SET_CONTACT_POINT, 0, c,
      "fix the contact point on a link, for the arm in the given joint positions",
      {{"link", 1, "integer", "", "5"},
       {"point", 3, "number", "metres, in the link's frame", "0 0 0.1"},
       {"joint positions", A::kPerJoint, "number", "degrees", "0 -45 135 0 45 0"}});
  add(t, "applycontactforce", H::applyContactForce, UI_APPLY_CONTACT_FORCE, 0, c,
      "pull the contact point towards a target with the spring (springk)",
      {{"target", 3, "number", "metres, world frame", "0.6 0.1 0.3"}});
  add(t, "removecontactforce", H::bareRequest, UI_REMOVE_CONTACT_FORCE, 0, c, "release the contact spring");
  add(t, "gripper", H::gripper, UI_GRIPPER, 0, c, "set the gripper encoder value",
      {{"value", 1, "integer", "", "100"}});
  add(t, C::kEmassPos, H::displaySwitch, 0, c,
      "show the effective-mass ellipsoid at the end effector (1) or the contact point (0)", {kOnOff});
  add(t, C::kMsiPos, H::displaySwitch, 1, c,
      "show the MSI sphere at the end effector (1) or the contact point (0)", {kOnOff});
  add(t, C::kMaxVelDisplay, H::displaySwitch, 2, c, "show the velocity-limit hull (1) or not (0)", {kOnOff});
}

void addModes(Table& t) {
  // Help says "mode N: ..." for every mode; the texts live as long as the table.
  static const std::array<std::string, kNumControlModes> summaries = [] {
    std::array<std::string, kNumControlModes> out;
    for (const ControlModeInfo& m : kControlModes)
      out[m.mode] = "mode " + std::to_string(m.mode) + ": " + m.summary;
    return out;
  }();
  for (const ControlModeInfo& m : kControlModes) {
    const char* summary = summaries[m.mode].c_str();
    switch (m.goal) {
      case GoalKind::kNone:
        add(t, m.word, H::plainMode, m.mode, 0, T::kModes, summary);
        break;
      case GoalKind::kJoint:
        add(t, m.word, H::jointMode, m.mode, 0, T::kModes, summary, {kJointGoal});
        break;
      case GoalKind::kConfigElbow:
        add(t, m.word, H::configModeWithElbow, m.mode, 0, T::kModes, summary, {kConfigGoal, kElbow});
        break;
      case GoalKind::kConfig:
        add(t, m.word, H::configMode, m.mode, 0, T::kModes, summary, {kConfigGoal});
        break;
    }
  }
}

void addSettings(Table& t) {
  const T s = T::kSettings;
  add(t, C::kRobotType, H::robotType, 0, s,
      "choose the arm: 0 1-DOF, 1 3-DOF, 2 4-DOF; 6-DOF with 3 quaternion, 4 Euler x, 5 Euler y, 6 "
      "axis-angle",
      {{"type", 1, "integer", "0 to 6", "3"}});
  struct ConstantHelp {
    ConstantType type;
    const char* summary;
    const char* unit;
    const char* example;
  };
  const ConstantHelp floatConstants[] = {
      {C::kVmax, "set the operational speed limit", "m/s", "0.5"},
      {C::kAmax, "set the operational acceleration limit", "m/s^2", "1"},
      {C::kWmax, "set the angular speed limit", "degrees/s", "45"},
      {C::kRho0, "set the distance at which obstacles start to repel", "metres", "0.05"},
      {C::kEta, "set the strength of the obstacles' repulsion", "", "0.01"},
      {C::kSbound, "set the singularity threshold", "degrees", "10"},
      {C::kSpringK, "set the contact spring's stiffness", "N/m", "200"},
      {C::kSimSpeed, "set the simulation speed, 1 for real time", "factor", "1"},
  };
  for (const ConstantHelp& c : floatConstants)
    add(t, c.type, H::floatConstant, 0, s, c.summary, {{"value", 1, "number", c.unit, c.example}});
  add(t, C::kJlimit, H::bareConstant, 0, s, "switch the joint-limit check on or off");
  add(t, C::kFriction, H::bareConstant, 0, s, "switch the joint friction on or off");
  add(t, C::kTorqueLimit, H::bareConstant, 0, s, "switch the torque limits on or off");
  const ConstantHelp jointConstants[] = {
      {C::kQmin, "set the lower joint limits", "degrees", "-160 -223 -40 -130 -100 -266"},
      {C::kQmax, "set the upper joint limits", "degrees", "160 43 240 180 100 266"},
      {C::kDqmax, "set the joint speed limits", "degrees/s", "45"},
      {C::kDdqmax, "set the joint acceleration limits", "degrees/s^2", "60"},
      {C::kQ0, "set the joint-limit margins", "degrees", "5"},
      {C::kKj, "set the joint-limit gains", "", "0.1"},
  };
  for (const ConstantHelp& c : jointConstants)
    add(t, c.type, H::jointConstant, 0, s, c.summary,
        {{"values", A::kPerJoint, "number", c.unit, c.example}});
  add(t, C::kSetObstacle, H::setObstacle, 0, s, "place a spherical obstacle, or move the one with that id",
      {{"id", 1, "integer", "", "1"},
       {"centre", 3, "number", "metres, world frame", "0.7 0 0.3"},
       {"radius", 1, "number", "metres", "0.08"}});
  add(t, C::kDelObstacle, H::deleteObstacle, 0, s, "remove the obstacle with that id",
      {{"id", 1, "integer", "", "1"}});
  add(t, C::kSetLine, H::setLine, 0, s, "set and enable the virtual line from one point to another",
      {{"end points", 6, "number", "metres, world frame, first then second", "0.6 -0.2 0.25 0.6 0.2 0.25"}});
  add(t, C::kDelLine, H::bareConstant, 0, s, "disable the virtual line");
  // The example mode is kGainsExampleMode, whose stored gains help counts.
  static const std::string modeRange = "0 to " + std::to_string(kNumControlModes - 1);
  static const std::string exampleMode = std::to_string(kGainsExampleMode);
  const A mode{"mode", 1, "integer", modeRange.c_str(), exampleMode.c_str()};
  add(t, C::kKp, H::gains, 0, s, "set a control mode's position gains",
      {mode, {"gains", A::kPerGain, "number", "", "400"}});
  add(t, C::kKv, H::gains, 0, s, "set a control mode's velocity gains",
      {mode, {"gains", A::kPerGain, "number", "", "40"}});
}

void addSession(Table& t) {
  const T s = T::kSession;
  add(t, "reset", H::bareRequest, UI_RESET, 0, s, "put the simulated arm back in its start posture");
  // Loads control.dll afresh while the arm runs on.
  add(t, "reload", H::bareRequest, UI_RELOAD, 0, s, "load control.dll afresh while the arm runs on");
  add(t, "break", H::quit, UI_QUIT, 0, s, "end the session");
  add(t, "exit", H::quit, UI_QUIT, 0, s, "end the session");
  add(t, "quit", H::quit, UI_QUIT, 0, s, "end the session");
  const std::vector<A> word{{"word", 1, "command word", "", controlModeWord(kJgoto), /*optional=*/true}};
  add(t, "help", H::help, 0, 0, s,
      "list the command words, or show one word's arguments, units and an example", word);
  add(t, "?", H::help, 0, 0, s, "the same as help", word);
}
}  // namespace

void registerCommands(std::map<std::string, Command>& table) {
  addQueries(table);
  addFiles(table);
  addContact(table);
  addModes(table);
  addSettings(table);
  addSession(table);
}

const std::vector<WordHelp>& promptWords() {
  static const CommandHelp load{T::kScripts,
                                "run a file of command lines, as if typed (only at the prompt)",
                                {{"script", 1, "file name", "", "demo.txt"}},
                                1000};
  static const CommandHelp wait{T::kScripts,
                                "in a script: pause before the next line",
                                {{"duration", 1, "integer", "ms", "1500"}},
                                1001};
  static const std::vector<WordHelp> words{{"load", &load}, {"wait", &wait}};
  return words;
}
