// Degree/radian factors at the servo's boundary (the user interface speaks degrees).
#pragma once

constexpr float kRadPerDeg = 0.017453292f;
constexpr float kDegPerRad = 57.29578f;
