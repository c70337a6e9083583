// Joint goal of the xtrack modes: the operational goal (Td for the six-joint
// models, xd for the reduced arms) turned into joint angles by closed-form
// inverse kinematics.
//
// The kinematics work in the model's own frame (PumaForwardKinematics.h); the
// simulated arm's end-effector frame may sit at a constant height above it and
// carry a constant tool rotation, so both are measured at the current pose
// (the difference between T or x and the model's forward kinematics of q) and
// removed from the goal first.
#pragma once

#include "plugin/PumaInverseKinematics.h"
#include "servo/ServoState.h"

// Writes dof joint angles (rad) into q; `elbow` as in PumaInverseKinematics.h.
ik::IkResult jointGoalFromPose(const ServoState& s, int elbow, float* q);

// The same for a goal frame of a six-joint model (unit rotation).
ik::IkResult jointGoalFromFrame(const ServoState& s, const PrTransform& goal, int elbow, float* q);
