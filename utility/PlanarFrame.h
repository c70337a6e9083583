// A planar frame: a 2x3 affine map with rows (a, b, tx) and (c, d, ty),
// taking (x, y) to (a x + b y + tx, c x + d y + ty).
#pragma once

#include <cmath>

struct PlanarPoint {
  float x;
  float y;
};

struct PlanarFrame {
  float a = 1, b = 0, tx = 0;
  float c = 0, d = 1, ty = 0;

  // Rotation by angle (rad) about the frame's origin, placed at origin.
  static PlanarFrame rotation(float angle, PlanarPoint origin) {
    const float cs = std::cos(angle);
    const float sn = std::sin(angle);
    return PlanarFrame{cs, -sn, origin.x, sn, cs, origin.y};
  }

  PlanarPoint origin() const { return {tx, ty}; }

  PlanarPoint apply(PlanarPoint p) const { return {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty}; }
};
