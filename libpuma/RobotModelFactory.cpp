#include "libpuma/RobotModelFactory.h"

#include <cstdio>

#include "libpuma/CPuma1dofModel.h"
#include "libpuma/CPuma3dofModel.h"
#include "libpuma/CPuma4dofModel.h"
#include "libpuma/CPumaModelAA.h"
#include "libpuma/CPumaModelEA.h"
#include "libpuma/CPumaModelEAY.h"
#include "libpuma/CPumaModelQ.h"

std::unique_ptr<IRobotModel> createRobotModel(int robotType) {
  switch (robotType) {
    case 0:
      return std::make_unique<CPuma1dofModel>();
    case 1:
      return std::make_unique<CPuma3dofModel>();
    case 2:
      return std::make_unique<CPuma4dofModel>();
    case 3:
      return std::make_unique<CPumaModelQ>();
    case 4:
      return std::make_unique<CPumaModelEA>();
    case 5:
      return std::make_unique<CPumaModelEAY>();
    case 6:
      return std::make_unique<CPumaModelAA>();
    default:
      std::fprintf(stderr, "Unknown robot type %d (expected 0 to %d)\n", robotType, kRobotTypeCount - 1);
      return nullptr;
  }
}

const char* robotTypeLabel(int robotType) {
  static const char* const kLabels[kRobotTypeCount] = {"1-DOF",
                                                       "3-DOF",
                                                       "4-DOF",
                                                       "6-DOF (quaternions)",
                                                       "6-DOF (euler angle)",
                                                       "6-DOF (euler angle y)",
                                                       "6-DOF (axis angle)"};
  if (robotType < 0 || robotType >= kRobotTypeCount) return nullptr;
  return kLabels[robotType];
}
