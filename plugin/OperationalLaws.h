// Operational-space building blocks shared by the goto, track and shaped modes.
#pragma once

#include "plugin/TaskSpace.h"

// Starts a mode whose goal the servo stored in Td and xd; a goal beyond reach
// is pulled back into it (ReachClamp.h), with one message.
void beginTaskGoal(ServoState& s, int mode);

// The velocity-saturated goto command towards the mode's goal (r entries),
// with the integral trim; also records the error for PrintDebug. The desired
// velocity is limited to vmax and wmax, and further so that the joint speeds
// it asks for stay within dqmax.
void taskGotoCommand(const ServoState& s, double* command);

// Scales the desired operational velocity (r entries) so that the joint
// speeds it implies stay within 0.9 dqmax.
void limitJointSpeeds(const ServoState& s, const TaskLayout& layout, double* velocity);

// Adds the final-approach integral trim (IntegralTrim.h) for a task error.
void trimTowardsTaskGoal(const ServoState& s, const double* error, double* command);

// Decoupled (acceleration command) or gravity-compensated (force) torques.
void applyTask(ServoState& s, const double* command, bool decoupled);

// Base-frame position (m) and velocity (m/s) of the operational point, and the
// goal position; axes a reduced arm does not control read as the current ones.
void toolVelocity(const ServoState& s, const TaskLayout& layout, double out[3]);
void goalPosition(const ServoState& s, const TaskLayout& layout, const TaskGoal& goal, double out[3]);

// Writes a base-frame acceleration command into the positional entries.
void setPositionalCommand(const TaskLayout& layout, const double world[3], double* command);
