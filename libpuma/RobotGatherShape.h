// The width of a gather row for each robot type, from its model's sizes.
#pragma once

#include "utility/GatherColumns.h"

// The shape of robotType's gather rows; robotType is 0 to kRobotTypeCount - 1.
GatherShape robotGatherShape(int robotType);
