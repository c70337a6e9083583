// A control plug-in for the tests: every entry point records its name and the
// parts of the record the servo promises to have set, and every tick function
// fills tau with a value the test chooses. Built twice: complete, and with
// KORVEX_BROKEN_PLUGIN defined, which leaves a few entry points out.
#include <algorithm>
#include <cstring>

#include "RecordedCall.h"
#include "servo/ServoState.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kCapacity = 20000;
RecordedCall g_calls[kCapacity];
int g_count = 0;
float g_tickTorque = 0;

void copyHead(const PrVector& v, float* out, int capacity, int* size) {
  *size = v.size();
  for (int i = 0; i < std::min(v.size(), capacity); ++i) out[i] = v[i];
}

float magnitudeSquared(const PrVector& v) {
  float sum = 0;
  for (int i = 0; i < v.size(); ++i) sum += v[i] * v[i];
  return sum;
}

void record(const char* name, ServoState* s) {
  if (g_count == kCapacity) return;
  RecordedCall& call = g_calls[g_count++];
  std::memset(&call, 0, sizeof call);
  std::strncpy(call.name, name, sizeof call.name - 1);
  call.dof = s->dof;
  call.curTime = s->curTime;
  call.kpSize = s->kp.size();
  call.kp0 = s->kp.size() > 0 ? s->kp[0] : 0;
  call.kv0 = s->kv.size() > 0 ? s->kv[0] : 0;
  copyHead(s->qd, call.qd, 6, &call.qdSize);
  copyHead(s->xd, call.xd, 7, &call.xdSize);
  call.dqdMagnitudeSquared = magnitudeSquared(s->dqd);
  call.dxdMagnitudeSquared = magnitudeSquared(s->dxd);
  call.elbow = s->elbow;
}

void tick(const char* name, ServoState* s) {
  record(name, s);
  for (int i = 0; i < s->tau.size(); ++i) s->tau[i] = g_tickTorque;
}

}  // namespace

EXPORT const RecordedCall* recordedCalls(int* count) {
  *count = g_count;
  return g_calls;
}
EXPORT void clearRecordedCalls() { g_count = 0; }
EXPORT void setTickTorque(float value) { g_tickTorque = value; }

#define INIT_ENTRY(name) \
  EXPORT void name(ServoState* s) { record(#name, s); }
#define TICK_ENTRY(name) \
  EXPORT void name(ServoState* s) { tick(#name, s); }

#ifndef KORVEX_BROKEN_PLUGIN
INIT_ENTRY(InitControl)
INIT_ENTRY(PrintDebug)
INIT_ENTRY(initJmoveControl)
TICK_ENTRY(jgotoControl)
#endif
INIT_ENTRY(PreprocessControl)
INIT_ENTRY(PostprocessControl)
TICK_ENTRY(noControl)
INIT_ENTRY(initFloatControl)
TICK_ENTRY(floatControl)
INIT_ENTRY(initNjholdControl)
TICK_ENTRY(njholdControl)
INIT_ENTRY(initJholdControl)
TICK_ENTRY(jholdControl)
INIT_ENTRY(initNholdControl)
TICK_ENTRY(nholdControl)
INIT_ENTRY(initHoldControl)
TICK_ENTRY(holdControl)
INIT_ENTRY(initOpenControl)
TICK_ENTRY(openControl)
INIT_ENTRY(initNjmoveControl)
TICK_ENTRY(njmoveControl)
TICK_ENTRY(jmoveControl)
INIT_ENTRY(initNjgotoControl)
TICK_ENTRY(njgotoControl)
INIT_ENTRY(initJgotoControl)
INIT_ENTRY(initNjtrackControl)
TICK_ENTRY(njtrackControl)
INIT_ENTRY(initJtrackControl)
TICK_ENTRY(jtrackControl)
INIT_ENTRY(initNxtrackControl)
TICK_ENTRY(nxtrackControl)
INIT_ENTRY(initXtrackControl)
TICK_ENTRY(xtrackControl)
INIT_ENTRY(initNgotoControl)
TICK_ENTRY(ngotoControl)
INIT_ENTRY(initGotoControl)
TICK_ENTRY(gotoControl)
INIT_ENTRY(initNtrackControl)
TICK_ENTRY(ntrackControl)
INIT_ENTRY(initTrackControl)
TICK_ENTRY(trackControl)
INIT_ENTRY(initPfmoveControl)
TICK_ENTRY(pfmoveControl)
INIT_ENTRY(initLineControl)
TICK_ENTRY(lineControl)
INIT_ENTRY(initProj1Control)
TICK_ENTRY(proj1Control)
INIT_ENTRY(initProj2Control)
TICK_ENTRY(proj2Control)
INIT_ENTRY(initProj3Control)
TICK_ENTRY(proj3Control)
