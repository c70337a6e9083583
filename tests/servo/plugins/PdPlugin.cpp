// A minimal joint-space control plug-in for the tests: float compensates
// gravity, and the joint goto modes run a computed-torque PD law,
//   tau = A (kp (qd - q) - kv dq) + B + G,
// so the arm settles at qd with the gains the servo copies into the record.
// Every other entry point is left out on purpose.
#include "servo/ServoState.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void gravityOnly(ServoState* s) {
  for (int i = 0; i < s->dof; ++i) s->tau[i] = s->G[i];
}

void jointPd(ServoState* s) {
  const int n = s->dof;
  float accel[6] = {};
  for (int i = 0; i < n; ++i) accel[i] = s->kp[i] * (s->qd[i] - s->q[i]) - s->kv[i] * s->dq[i];
  const float* a = s->A.dataPtr();  // row-major dof x dof
  for (int i = 0; i < n; ++i) {
    float sum = 0;
    for (int j = 0; j < n; ++j) sum += a[i * n + j] * accel[j];
    s->tau[i] = sum + s->B[i] + s->G[i];
  }
}

}  // namespace

EXPORT void floatControl(ServoState* s) { gravityOnly(s); }
EXPORT void njgotoControl(ServoState* s) { jointPd(s); }
EXPORT void jgotoControl(ServoState* s) { jointPd(s); }
