// π, defined once for the whole program: in double, and as the nearest float
// for the single-precision code. Degree factors are written from it where
// they are used (kPi / 180), so every file converts with the same value.
#pragma once

#include <numbers>

inline constexpr double kPi = std::numbers::pi;
inline constexpr float kPiF = std::numbers::pi_v<float>;
