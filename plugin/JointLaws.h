// Joint-space laws shared by the joint modes and the xtrack modes.
#pragma once

#include "servo/ServoState.h"

// Plans the quintic joint path from the current angles to goal (dof, rad).
void beginJointTrack(ServoState& s, const float* goal);

// Tracks the planned path: qd, dqd and ddqd receive the moving reference, so
// gathered data show what the arm is asked to follow.
void trackJointPath(ServoState& s, bool decoupled);

// The same at time t along the path, run at `rate` times its planned speed
// (velocity scaled by rate, acceleration by rate^2).
void trackJointPathAt(ServoState& s, bool decoupled, double t, double rate);

// Holds the joint angles the mode started at.
void holdStart(ServoState& s, bool decoupled);
