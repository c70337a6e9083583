// A control plug-in in versions, for the reload tests. Every version exports
// all 51 entry points and floats the arm (tau = G) in every mode but jgoto:
//   KORVEX_PLUGIN_VERSION 1: jgoto floats too, and publishes the current
//     position in qd as its "reference", overwriting the goal;
//   KORVEX_PLUGIN_VERSION 2: jgoto runs a computed-torque PD law to qd.
// KORVEX_WRONG_LAYOUT exports a layout tag of another record size,
// KORVEX_NO_LAYOUT_TAG none, and KORVEX_LACKS_FLOAT leaves floatControl out.
#include "FloatingPlugin.h"

namespace {

[[maybe_unused]] void jointPd(ServoState* s) {
  const int n = s->dof;
  float accel[6] = {};
  for (int i = 0; i < n; ++i) accel[i] = s->kp[i] * (s->qd[i] - s->q[i]) - s->kv[i] * s->dq[i];
  for (int i = 0; i < n; ++i) {
    float sum = 0;
    for (int j = 0; j < n; ++j) sum += s->A(i, j) * accel[j];
    s->tau[i] = sum + s->B[i] + s->G[i];
  }
}

}  // namespace

#if defined(KORVEX_WRONG_LAYOUT)
EXPORT const ServoStateLayoutTag ServoStateLayout = {sizeof(ServoState) + 8, kServoStateLayoutVersion};
#elif !defined(KORVEX_NO_LAYOUT_TAG)
EXPORT_SERVO_STATE_LAYOUT;
#endif

EXPORT void jgotoControl(ServoState* s) {
#if KORVEX_PLUGIN_VERSION == 1
  floatArm(s);
  s->qd = s->q;
#else
  jointPd(s);
#endif
}

EXPORT_EMPTY_FRAMEWORK_AND_INITS
NOTHING(noControl)
#ifndef KORVEX_LACKS_FLOAT
FLOATS(floatControl)
#endif
FLOATS(jmoveControl)
EXPORT_FLOATING_TICKS_BUT_JMOVE_AND_JGOTO
