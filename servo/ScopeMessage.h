// SERVO_SCOPE: the scope's ticks for a window whose servo runs in another
// process. The link's relay packs the servo's ScopeSamples, a batch of
// consecutive ticks per message; the window's console unpacks them into its
// own ScopeRing.
//
// Body: whole samples only, each time, dof, config, rate, mode, then q, qd,
// dq, tau (kMaxJoints each), x, xd (kMaxConfig each), dx (kMaxRate), all
// 4-byte items; the sample count follows from the length.
#pragma once

#include "servo/ScopeSample.h"
#include "utility/unitMsg.h"

inline constexpr int kScopeSampleBytes =
    4 * (5 + 4 * ScopeSample::kMaxJoints + 2 * ScopeSample::kMaxConfig + ScopeSample::kMaxRate);
// 40 ms of ticks: a batch well within one message.
inline constexpr int kScopeSamplesPerMessage = 20;
static_assert(MSG_HEADER_SIZE + kScopeSamplesPerMessage * kScopeSampleBytes <= MAX_MSG_SIZE);

// Clears msg and makes it an empty SERVO_SCOPE.
void beginScopeMessage(CMsg& msg);
// Adds one sample; at most kScopeSamplesPerMessage to a message.
void appendScopeSample(CMsg& msg, const ScopeSample& sample);
// Samples in a SERVO_SCOPE message; -1 when its body is not whole samples.
int scopeSamplesIn(const CMappedMsg& msg);
// Reads the next sample; false when it is cut short or its sizes exceed a
// ScopeSample's (then `sample` is not to be used).
bool readScopeSample(CMappedMsg& msg, ScopeSample& sample);
