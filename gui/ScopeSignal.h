// The signals the scope offers, each a family of curves over one sample:
// q with its goal qd, dq, tau, x with its goal xd, dx, and the norms of the
// joint error and of the position error. Values in the servo's units, as the
// gather file holds them.
#pragma once

#include <QString>

#include "servo/ScopeSample.h"

enum class ScopeSignal {
  kJointPosition,
  kJointVelocity,
  kTorque,
  kOperational,
  kOperationalRate,
  kErrorNorms
};
inline constexpr int kScopeSignalCount = 6;

// The text of the signal chooser, and the axis title.
QString scopeSignalLabel(ScopeSignal signal);
QString scopeAxisTitle(ScopeSignal signal);

// Curves of the signal for a sample of this shape (joints, parameters, ...).
int scopeComponents(ScopeSignal signal, const ScopeSample& shape);
// Whether each curve has a goal drawn with it (q with qd, x with xd).
bool scopeHasGoal(ScopeSignal signal);

// The value of curve k, or of its goal.
float scopeValue(ScopeSignal signal, const ScopeSample& sample, int k, bool goal);

// Column names, as the gather file's are given: "q2", "qd2", "tau1",
// "joint_error".
QString scopeColumnName(ScopeSignal signal, int k, bool goal);
