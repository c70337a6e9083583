// Velocity-saturated goal seeking: the PD law written as a desired velocity,
// v* = (kp / kv) (goal - current), scaled down so that its size stays within a
// limit, and tracked with gain kv. Far from the goal the motion cruises at the
// limit; near it the law is the plain critically damped PD.
#pragma once

#include "plugin/TaskSpace.h"

// Joint space: n joints, common scaling so the joints move in a straight line
// in joint space and none exceeds its dqmax. Writes qdd* = -kv (dq - nu v*).
void saturatedJointCommand(int n, const double* error, const float* dq, const float* kp, const float* kv,
                           const float* dqmax, double* out);

// Operational space: the positional entries are limited to vmax (m/s) as one
// vector, the orientational ones to wmax (rad/s). error = current - goal.
// Writes the acceleration command F* = -kv (dx - nu v*), r entries.
void saturatedTaskCommand(const TaskLayout& layout, const double* error, const float* dx, const float* kp,
                          const float* kv, double vmax, double wmax, double* out);

// The desired velocity of saturatedTaskCommand (r entries), for callers that
// shape it further.
void saturatedTaskVelocity(const TaskLayout& layout, const double* error, const float* kp, const float* kv,
                           double vmax, double wmax, double* velocity);

// Scales the entries `indices` of v so that their joint length is at most limit.
void limitGroupLength(double* v, const int* indices, int count, double limit);
