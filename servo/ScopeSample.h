// What the window's scope draws of one servo tick: a copy of the state the
// tick ended with, of fixed size so that publishing it allocates nothing.
// Units as in ServoState (rad, rad/s, N·m, m); tau is the limited torque the
// arm was given. The servo pushes one per tick into a ScopeRing; the window
// drains it (gui/ScopeDock).
#pragma once

#include <cstdint>

#include "utility/OverwritingRing.h"

struct ServoState;

struct ScopeSample {
  static constexpr int kMaxJoints = 6;
  static constexpr int kMaxConfig = 7;
  static constexpr int kMaxRate = 6;

  float time = 0;  // servo time, s
  int32_t dof = 0, config = 0, rate = 0;
  float q[kMaxJoints] = {}, qd[kMaxJoints] = {}, dq[kMaxJoints] = {}, tau[kMaxJoints] = {};
  float x[kMaxConfig] = {}, xd[kMaxConfig] = {};
  float dx[kMaxRate] = {};
};

// Eight seconds of ticks: the window drains far more often than that.
using ScopeRing = OverwritingRing<ScopeSample, 4096>;

// Copies the tick's values out of the state record.
void takeScopeSample(const ServoState& state, ScopeSample& sample);
