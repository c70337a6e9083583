// The robot types the user can choose, and the model that belongs to each.
//
//   0 "1-DOF"                CPuma1dofModel      joint 2
//   1 "3-DOF"                CPuma3dofModel      joints 2, 3, 5
//   2 "4-DOF"                CPuma4dofModel      joints 1, 2, 3, 5
//   3 "6-DOF (quaternions)"  CPumaModelQ         all
//   4 "6-DOF (euler angle)"  CPumaModelEA        all
//   5 "6-DOF (euler angle y)" CPumaModelEAY      all
//   6 "6-DOF (axis angle)"   CPumaModelAA        all
#pragma once

#include <memory>

#include "libpuma/IRobotModel.h"

inline constexpr int kRobotTypeCount = 7;
// The type the servo starts with: the six-joint quaternion model.
inline constexpr int kStartupRobotType = 3;

// A new model for robotType; nullptr, after a one-line message on standard
// error, when the code is not one of the types above.
std::unique_ptr<IRobotModel> createRobotModel(int robotType);

// The label the user interface shows for robotType; nullptr for an unknown code.
const char* robotTypeLabel(int robotType);
