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

// The goal the servo stored with the mode (Td and xd), or the current pose.
TaskGoal goalFromRecord(const ServoState& s);
TaskGoal currentPose(const ServoState& s);

// Operational error of the current pose against the goal, r entries.
void taskError(const ServoState& s, const TaskLayout& layout, const TaskGoal& goal, double out[6]);

// Position (m, base frame) of the operational point.
void toolPosition(const ServoState& s, double out[3]);
