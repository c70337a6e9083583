// The operational coordinates of the current robot model as the control laws
// see them: which entries are positions, which orientations, and how an error
// between the current and a goal configuration is measured.
//
// Six-joint models (r = 6) measure errors on frames (T against a goal frame):
// position difference, then the rotation vector, both in the base frame. The
// reduced arms (r = c < 6) measure x - xd directly; their positional entries
// are world x, z (3 joints) or x, y, z (4 joints), the last entry is alpha.
#pragma once

#include "matrix/PrTransform.h"
#include "servo/ServoState.h"

inline constexpr int kMaxTask = 6;

struct TaskLayout {
  int r = 0;                     // operational dimension
  int nPos = 0;                  // positional entries
  int pos[3] = {0, 0, 0};        // their indices
  int worldAxis[3] = {0, 1, 2};  // the base-frame axis each positional entry measures
  int nOri = 0;                  // orientational entries
  int ori[3] = {0, 0, 0};        // their indices
  bool frames = false;           // errors from frames (six-joint models)
};

TaskLayout taskLayout(const ServoState& s);

// Current minus goal, position then rotation vector (rad), base frame.
void frameError(const PrTransform& current, const PrTransform& goal, double out[6]);

// A goal in either form: the frame for six-joint models, the configuration
// (c entries) for the reduced arms.
struct TaskGoal {
  PrTransform frame;
  float config[7] = {0, 0, 0, 0, 0, 0, 0};
};

// The rotation of q scaled to unit length; `fallback` when q has none (zero
// or not finite). The servo passes goal quaternions (and the axis-angle
// model's axis) on as typed, so a goal of length 2 means the same rotation.
PrQuaternion unitRotation(const PrQuaternion& q, const PrQuaternion& fallback);

// The goal rotation of Td as meant. A quaternion goal (the model's xd[3..6]
// is Td's rotation) is scaled to unit length; an axis-angle goal (xd[3] the
// angle, xd[4..6] the axis) is rebuilt from the unit axis, since scaling the
// quaternion made from a long axis would change the angle too.
PrQuaternion goalRotation(const ServoState& s);

// The goal the servo stored with the mode (Td, its rotation made unit, and
// xd), or the current pose.
TaskGoal goalFromRecord(const ServoState& s);
TaskGoal currentPose(const ServoState& s);

// Operational error of the current pose against the goal, r entries.
void taskError(const ServoState& s, const TaskLayout& layout, const TaskGoal& goal, double out[6]);

// Position (m, base frame) of the operational point.
void toolPosition(const ServoState& s, double out[3]);
