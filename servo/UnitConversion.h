// Degree/radian factors at the servo's boundary (the user interface speaks degrees).
#pragma once

#include "utility/Angles.h"

constexpr float kRadPerDeg = float(kPi / 180);
constexpr float kDegPerRad = float(180 / kPi);
