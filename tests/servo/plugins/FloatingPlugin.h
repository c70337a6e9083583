// What the test plug-ins built on floating share: entry points that do
// nothing or float the arm (tau = G, the torque that holds it against gravity).
#pragma once

#include "servo/ServoState.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

inline void floatArm(ServoState* s) {
  for (int i = 0; i < s->dof; ++i) s->tau[i] = s->G[i];
}

#define NOTHING(name) \
  EXPORT void name(ServoState*) {}
#define FLOATS(name) \
  EXPORT void name(ServoState* s) { floatArm(s); }

// InitControl, the pre- and postprocessing, PrintDebug and the 23 mode init
// functions, all doing nothing.
#define EXPORT_EMPTY_FRAMEWORK_AND_INITS \
  NOTHING(InitControl)                   \
  NOTHING(PreprocessControl)             \
  NOTHING(PostprocessControl)            \
  NOTHING(PrintDebug)                    \
  NOTHING(initFloatControl)              \
  NOTHING(initNjholdControl)             \
  NOTHING(initJholdControl)              \
  NOTHING(initNholdControl)              \
  NOTHING(initHoldControl)               \
  NOTHING(initOpenControl)               \
  NOTHING(initNjmoveControl)             \
  NOTHING(initJmoveControl)              \
  NOTHING(initNjgotoControl)             \
  NOTHING(initJgotoControl)              \
  NOTHING(initNjtrackControl)            \
  NOTHING(initJtrackControl)             \
  NOTHING(initNxtrackControl)            \
  NOTHING(initXtrackControl)             \
  NOTHING(initNgotoControl)              \
  NOTHING(initGotoControl)               \
  NOTHING(initNtrackControl)             \
  NOTHING(initTrackControl)              \
  NOTHING(initPfmoveControl)             \
  NOTHING(initLineControl)               \
  NOTHING(initProj1Control)              \
  NOTHING(initProj2Control)              \
  NOTHING(initProj3Control)

// The tick functions of modes 2 to 23 but jmove and jgoto, all floating.
#define EXPORT_FLOATING_TICKS_BUT_JMOVE_AND_JGOTO \
  FLOATS(njholdControl)                           \
  FLOATS(jholdControl)                            \
  FLOATS(nholdControl)                            \
  FLOATS(holdControl)                             \
  FLOATS(openControl)                             \
  FLOATS(njmoveControl)                           \
  FLOATS(njgotoControl)                           \
  FLOATS(njtrackControl)                          \
  FLOATS(jtrackControl)                           \
  FLOATS(nxtrackControl)                          \
  FLOATS(xtrackControl)                           \
  FLOATS(ngotoControl)                            \
  FLOATS(gotoControl)                             \
  FLOATS(ntrackControl)                           \
  FLOATS(trackControl)                            \
  FLOATS(pfmoveControl)                           \
  FLOATS(lineControl)                             \
  FLOATS(proj1Control)                            \
  FLOATS(proj2Control)                            \
  FLOATS(proj3Control)
