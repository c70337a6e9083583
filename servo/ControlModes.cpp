#include "servo/ControlModes.h"

namespace {

struct ModeNames {
  const char* word;
  const char* init;
  const char* tick;
};

constexpr ModeNames kModes[kNumControlModes] = {
    {"nocontrol", nullptr, "noControl"},
    {"float", "initFloatControl", "floatControl"},
    {"njhold", "initNjholdControl", "njholdControl"},
    {"jhold", "initJholdControl", "jholdControl"},
    {"nhold", "initNholdControl", "nholdControl"},
    {"hold", "initHoldControl", "holdControl"},
    {"open", "initOpenControl", "openControl"},
    {"njmove", "initNjmoveControl", "njmoveControl"},
    {"jmove", "initJmoveControl", "jmoveControl"},
    {"njgoto", "initNjgotoControl", "njgotoControl"},
    {"jgoto", "initJgotoControl", "jgotoControl"},
    {"njtrack", "initNjtrackControl", "njtrackControl"},
    {"jtrack", "initJtrackControl", "jtrackControl"},
    {"nxtrack", "initNxtrackControl", "nxtrackControl"},
    {"xtrack", "initXtrackControl", "xtrackControl"},
    {"ngoto", "initNgotoControl", "ngotoControl"},
    {"goto", "initGotoControl", "gotoControl"},
    {"ntrack", "initNtrackControl", "ntrackControl"},
    {"track", "initTrackControl", "trackControl"},
    {"pfmove", "initPfmoveControl", "pfmoveControl"},
    {"line", "initLineControl", "lineControl"},
    {"proj1", "initProj1Control", "proj1Control"},
    {"proj2", "initProj2Control", "proj2Control"},
    {"proj3", "initProj3Control", "proj3Control"},
};

}  // namespace

const char* controlModeWord(int mode) { return isControlMode(mode) ? kModes[mode].word : "unknown"; }
const char* controlModeInitName(int mode) { return isControlMode(mode) ? kModes[mode].init : nullptr; }
const char* controlModeTickName(int mode) { return isControlMode(mode) ? kModes[mode].tick : nullptr; }
