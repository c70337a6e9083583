// The control modes: the one table every part of the simulator reads them from.
//
// A mode's number indexes the servo's gain tables and travels in
// UI_CONTROL_MODE; its command word is what the console types; its init and
// tick names are the control plug-in's exported C symbols (nocontrol has no
// init). The goal kind says which goal values follow the number in a request,
// the gain space which of the model's default gains the mode starts with.
//
// Everything here is constexpr and header-only, so the plug-in, which links
// none of the simulator's libraries, reads the same table.
#pragma once

#include <array>
#include <string_view>

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

constexpr int kNumControlModes = 24;  // control modes 0 to 23

// What follows the mode number in a UI_CONTROL_MODE request.
enum class GoalKind {
  kNone,         // nothing
  kJoint,        // dof joint positions, degrees
  kConfig,       // the configuration parameters (metres, degrees or quaternion parts)
  kConfigElbow,  // the configuration parameters, then an integer elbow choice
};

// Which of the model's default gain vectors a mode's tables start from.
enum class GainSpace { kJoint, kOperational };

struct ControlModeInfo {
  ControlMode mode;
  const char* word;      // console command word
  const char* initName;  // plug-in init entry point; nullptr for nocontrol
  const char* tickName;  // plug-in tick entry point
  GoalKind goal;
  GainSpace gains;
  const char* summary;  // what the mode does, for the console's help
};

namespace control_mode_detail {
using G = GoalKind;
using S = GainSpace;
}  // namespace control_mode_detail

// In mode order: kControlModes[m].mode == m.
inline constexpr std::array<ControlModeInfo, kNumControlModes> kControlModes = [] {
  using namespace control_mode_detail;
  return std::array<ControlModeInfo, kNumControlModes>{{
      {kNoControl, "nocontrol", nullptr, "noControl", G::kNone, S::kJoint, "no control, no torques at all"},
      {kFloat, "float", "initFloatControl", "floatControl", G::kNone, S::kJoint,
       "float, gravity compensated"},
      {kNjhold, "njhold", "initNjholdControl", "njholdControl", G::kNone, S::kJoint,
       "hold the joints where they are, without dynamic compensation"},
      {kJhold, "jhold", "initJholdControl", "jholdControl", G::kNone, S::kJoint,
       "hold the joints where they are"},
      {kNhold, "nhold", "initNholdControl", "nholdControl", G::kNone, S::kOperational,
       "hold the operational position, without dynamic compensation"},
      {kHold, "hold", "initHoldControl", "holdControl", G::kNone, S::kOperational,
       "hold the operational position"},
      {kOpen, "open", "initOpenControl", "openControl", G::kNone, S::kJoint, "open loop"},
      {kNjmove, "njmove", "initNjmoveControl", "njmoveControl", G::kJoint, S::kJoint,
       "move to a joint goal, without dynamic compensation"},
      {kJmove, "jmove", "initJmoveControl", "jmoveControl", G::kJoint, S::kJoint, "move to a joint goal"},
      {kNjgoto, "njgoto", "initNjgotoControl", "njgotoControl", G::kJoint, S::kJoint,
       "go to a joint goal within the speed limits, without dynamic compensation"},
      {kJgoto, "jgoto", "initJgotoControl", "jgotoControl", G::kJoint, S::kJoint,
       "go to a joint goal within the speed limits"},
      {kNjtrack, "njtrack", "initNjtrackControl", "njtrackControl", G::kJoint, S::kJoint,
       "track a joint goal along a smooth path, without dynamic compensation"},
      {kJtrack, "jtrack", "initJtrackControl", "jtrackControl", G::kJoint, S::kJoint,
       "track a joint goal along a smooth path"},
      // The x-track modes take an operational goal but reach it through a
      // joint path, with joint gains.
      {kNxtrack, "nxtrack", "initNxtrackControl", "nxtrackControl", G::kConfigElbow, S::kJoint,
       "track an operational goal through the joints, without dynamic compensation"},
      {kXtrack, "xtrack", "initXtrackControl", "xtrackControl", G::kConfigElbow, S::kJoint,
       "track an operational goal through the joints"},
      {kNgoto, "ngoto", "initNgotoControl", "ngotoControl", G::kConfig, S::kOperational,
       "go to an operational goal, without dynamic compensation"},
      {kGoto, "goto", "initGotoControl", "gotoControl", G::kConfig, S::kOperational,
       "go to an operational goal"},
      {kNtrack, "ntrack", "initNtrackControl", "ntrackControl", G::kConfig, S::kOperational,
       "track an operational goal, without dynamic compensation"},
      {kTrack, "track", "initTrackControl", "trackControl", G::kConfig, S::kOperational,
       "track an operational goal"},
      {kPfmove, "pfmove", "initPfmoveControl", "pfmoveControl", G::kConfig, S::kOperational,
       "move to an operational goal around the obstacles (potential field)"},
      {kLine, "line", "initLineControl", "lineControl", G::kConfig, S::kOperational,
       "follow the virtual line (setline) to an operational goal"},
      {kProj1, "proj1", "initProj1Control", "proj1Control", G::kConfig, S::kOperational,
       "project mode 1 of the control plug-in"},
      {kProj2, "proj2", "initProj2Control", "proj2Control", G::kConfig, S::kOperational,
       "project mode 2 of the control plug-in"},
      {kProj3, "proj3", "initProj3Control", "proj3Control", G::kConfig, S::kOperational,
       "project mode 3 of the control plug-in"},
  }};
}();

static_assert(
    [] {
      for (int m = 0; m < kNumControlModes; ++m)
        if (kControlModes[m].mode != m) return false;
      return true;
    }(),
    "kControlModes is listed in mode order");

constexpr bool isControlMode(int mode) { return mode >= 0 && mode < kNumControlModes; }

// The mode's record; precondition isControlMode(mode).
constexpr const ControlModeInfo& controlModeInfo(int mode) { return kControlModes[mode]; }

// "nocontrol", "float", ... for 0 to 23; "unknown" otherwise.
constexpr const char* controlModeWord(int mode) {
  return isControlMode(mode) ? kControlModes[mode].word : "unknown";
}
// "initFloatControl", ...; nullptr for nocontrol and unknown modes.
constexpr const char* controlModeInitName(int mode) {
  return isControlMode(mode) ? kControlModes[mode].initName : nullptr;
}
// "noControl", "floatControl", ...; nullptr for unknown modes.
constexpr const char* controlModeTickName(int mode) {
  return isControlMode(mode) ? kControlModes[mode].tickName : nullptr;
}
// kNone for unknown modes.
constexpr GoalKind controlModeGoal(int mode) {
  return isControlMode(mode) ? kControlModes[mode].goal : GoalKind::kNone;
}

// Modes whose gains are joint-space (the others are operational-space).
constexpr bool isJointSpaceMode(int mode) {
  return isControlMode(mode) && kControlModes[mode].gains == GainSpace::kJoint;
}
constexpr bool takesJointGoal(int mode) { return controlModeGoal(mode) == GoalKind::kJoint; }
// Operational goal, with or without the elbow choice.
constexpr bool takesConfigGoal(int mode) {
  const GoalKind g = controlModeGoal(mode);
  return g == GoalKind::kConfig || g == GoalKind::kConfigElbow;
}
constexpr bool takesElbow(int mode) { return controlModeGoal(mode) == GoalKind::kConfigElbow; }

// The mode typed as word, or -1 when no mode has that word.
constexpr int controlModeOfWord(std::string_view word) {
  for (const ControlModeInfo& m : kControlModes)
    if (word == m.word) return m.mode;
  return -1;
}
