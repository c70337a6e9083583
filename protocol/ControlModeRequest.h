// The control-mode request (UI_CONTROL_MODE): the mode, then the goal its
// goal kind takes (ControlModeTable.h): dof joint positions in degrees, or
// the configuration parameters, then the elbow choice for the x-track modes.
// An unknown mode travels alone; the servo ends the session on it.
#pragma once

class AMsg;
class CMappedMsg;
class CMsg;

// Goals hold at most this many values (six joints, seven configuration parameters).
constexpr int kMaxGoalValues = 16;

struct ControlModeRequest {
  int mode = -1;
  int goalCount = 0;  // values in goal: 0, dof or the configuration parameters
  float goal[kMaxGoalValues] = {};
  int elbow = 0;  // read only for the x-track modes
};

// Clears msg and writes a request for mode with goalCount goal values (none
// for a mode without a goal) and, for the x-track modes, the elbow.
void writeControlModeRequest(CMsg& msg, int mode, const float* goal = nullptr, int goalCount = 0,
                             int elbow = 0);

// Reads a UI_CONTROL_MODE body: the mode and, for a known mode, its goal of
// dof or configParms values and its elbow; the other fields of request keep
// their values. False when the body is cut short (msg.truncated()).
bool readControlModeRequest(AMsg& msg, int dof, int configParms, ControlModeRequest& request);

// The mode a UI_CONTROL_MODE request or a SERVO_GAINS reply starts with (both
// lead with it), read from a copy so msg keeps its position; -1 when the body
// is too short. msg must be positioned at its body's start.
int leadingMode(CMappedMsg msg);
