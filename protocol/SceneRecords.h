// The obstacle and virtual-line records: the servo holds them in its state
// record, the configuration message carries them, the window draws them.
#pragma once

#include <cstdint>

#include "matrix/PrVector3.h"

constexpr int kMaxObstacles = 16;

// A spherical obstacle for potential-field control.
struct Obstacle {
  int32_t id = 0;
  PrVector3 center;  // world frame, m
  float radius = 0;  // m
};

// The virtual line followed by the line mode. closest and direction are
// derived from p1 and p2 by setLine.
struct VirtualLine {
  int32_t enabled = 0;
  PrVector3 p1;         // first end point, world frame, m
  PrVector3 p2;         // second end point
  PrVector3 closest;    // point of the infinite line closest to the origin
  PrVector3 direction;  // unit direction from p1 towards p2
};

// Sets the line's end points, enables it and derives the closest point to the
// origin and the unit direction. Equal end points give direction (1, 0, 0).
void setLine(VirtualLine& line, const PrVector3& p1, const PrVector3& p2);
