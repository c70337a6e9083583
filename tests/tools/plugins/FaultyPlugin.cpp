// A plug-in with all 51 entry points that misbehaves in jgoto and jmove, for
// the grader tests; every other mode floats (tau = G). Built three times:
//   KORVEX_FAULT_CRASH  the two modes write through a null pointer
//   KORVEX_FAULT_HANG   the two modes never return
//   KORVEX_FAULT_NAN    the two modes write NaN torques
#include <cmath>

#include "FloatingPlugin.h"

namespace {

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

EXPORT_EMPTY_FRAMEWORK_AND_INITS
FLOATS(noControl)
FLOATS(floatControl)
EXPORT_FLOATING_TICKS_BUT_JMOVE_AND_JGOTO
