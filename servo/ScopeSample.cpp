#include "servo/ScopeSample.h"

#include <algorithm>

#include "servo/ServoState.h"

namespace {
int copyInto(const PrVector& from, float* to, int capacity) {
  const int n = std::min(from.size(), capacity);
  for (int i = 0; i < n; ++i) to[i] = from[i];
  return n;
}
}  // namespace

void takeScopeSample(const ServoState& state, ScopeSample& sample) {
  sample.time = state.curTime;
  sample.dof = copyInto(state.q, sample.q, ScopeSample::kMaxJoints);
  copyInto(state.qd, sample.qd, ScopeSample::kMaxJoints);
  copyInto(state.dq, sample.dq, ScopeSample::kMaxJoints);
  copyInto(state.tau, sample.tau, ScopeSample::kMaxJoints);
  sample.config = copyInto(state.x, sample.x, ScopeSample::kMaxConfig);
  copyInto(state.xd, sample.xd, ScopeSample::kMaxConfig);
  sample.rate = copyInto(state.dx, sample.dx, ScopeSample::kMaxRate);
}
