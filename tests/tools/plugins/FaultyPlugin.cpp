// A plug-in with all 51 entry points that misbehaves in jgoto and jmove, for
// the grader tests; every other mode floats (tau = G). Built three times:
//   KORVEX_FAULT_CRASH  the two modes write through a null pointer
//   KORVEX_FAULT_HANG   the two modes never return
//   KORVEX_FAULT_NAN    the two modes write NaN torques
#include <cmath>

#include "servo/ServoState.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void floatArm(ServoState* s) {
  for (int i = 0; i < s->dof; ++i) s->tau[i] = s->G[i];
}

volatile int* volatile nowhere = nullptr;
volatile bool forever = true;

void misbehave([[maybe_unused]] ServoState* s) {
#if defined(KORVEX_FAULT_CRASH)
  *nowhere = s->dof;
#elif defined(KORVEX_FAULT_HANG)
  while (forever) {
  }
#elif defined(KORVEX_FAULT_NAN)
  for (int i = 0; i < s->dof; ++i) s->tau[i] = std::nanf("");
#endif
}

}  // namespace

EXPORT_SERVO_STATE_LAYOUT;

EXPORT void jgotoControl(ServoState* s) { misbehave(s); }
EXPORT void jmoveControl(ServoState* s) { misbehave(s); }

#define NOTHING(name) \
  EXPORT void name(ServoState*) {}
#define FLOATS(name) \
  EXPORT void name(ServoState* s) { floatArm(s); }
NOTHING(InitControl)
NOTHING(PreprocessControl)
NOTHING(PostprocessControl)
NOTHING(PrintDebug)
NOTHING(initFloatControl)
NOTHING(initNjholdControl)
NOTHING(initJholdControl)
NOTHING(initNholdControl)
NOTHING(initHoldControl)
NOTHING(initOpenControl)
NOTHING(initNjmoveControl)
NOTHING(initJmoveControl)
NOTHING(initNjgotoControl)
NOTHING(initJgotoControl)
NOTHING(initNjtrackControl)
NOTHING(initJtrackControl)
NOTHING(initNxtrackControl)
NOTHING(initXtrackControl)
NOTHING(initNgotoControl)
NOTHING(initGotoControl)
NOTHING(initNtrackControl)
NOTHING(initTrackControl)
NOTHING(initPfmoveControl)
NOTHING(initLineControl)
NOTHING(initProj1Control)
NOTHING(initProj2Control)
NOTHING(initProj3Control)
FLOATS(noControl)
FLOATS(floatControl)
FLOATS(njholdControl)
FLOATS(jholdControl)
FLOATS(nholdControl)
FLOATS(holdControl)
FLOATS(openControl)
FLOATS(njmoveControl)
FLOATS(njgotoControl)
FLOATS(njtrackControl)
FLOATS(jtrackControl)
FLOATS(nxtrackControl)
FLOATS(xtrackControl)
FLOATS(ngotoControl)
FLOATS(gotoControl)
FLOATS(ntrackControl)
FLOATS(trackControl)
FLOATS(pfmoveControl)
FLOATS(lineControl)
FLOATS(proj1Control)
FLOATS(proj2Control)
FLOATS(proj3Control)
