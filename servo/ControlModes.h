// Control-mode numbers and the names that go with them.
//
// Mode numbers 0 to 23 index the gain tables and the plug-in's per-mode entry
// points. The command word is what the console types; the init and tick names
// are the plug-in's exported C symbols (mode 0, nocontrol, has no init).
#pragma once

#include "servo/ServoState.h"

enum ControlMode : int {
  kNoControl = 0,
  kFloat = 1,
  kNjhold = 2,
  kJhold = 3,
  kNhold = 4,
  kHold = 5,
  kOpen = 6,
  kNjmove = 7,
  kJmove = 8,
  kNjgoto = 9,
  kJgoto = 10,
  kNjtrack = 11,
  kJtrack = 12,
  kNxtrack = 13,
  kXtrack = 14,
  kNgoto = 15,
  kGoto = 16,
  kNtrack = 17,
  kTrack = 18,
  kPfmove = 19,
  kLine = 20,
  kProj1 = 21,
  kProj2 = 22,
  kProj3 = 23,
};

inline bool isControlMode(int mode) { return mode >= 0 && mode < kNumControlModes; }

// Modes whose gains are joint-space (the others are operational-space).
inline bool isJointSpaceMode(int mode) { return (mode >= 0 && mode <= 3) || (mode >= 6 && mode <= 14); }

// "nocontrol", "float", ... for 0 to 23; "unknown" otherwise.
const char* controlModeWord(int mode);
// "initFloatControl", ...; nullptr for nocontrol and unknown modes.
const char* controlModeInitName(int mode);
// "noControl", "floatControl", ...; nullptr for unknown modes.
const char* controlModeTickName(int mode);
