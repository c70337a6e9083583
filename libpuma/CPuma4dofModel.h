// CPuma4dofModel: the PUMA moving joints 1, 2, 3 and 5 (the planar arm turned
// about the base); joints 4 and 6 are held at 0 by the lock torques.
//
// Config vector (4): x, y, z of the operational point (m, base frame) and
// "alpha", its pitch in the arm's vertical plane (rad; shown in degrees).
#pragma once

#include "libpuma/CPumaPitchModel.h"

// J's pitch row is (0, 1, 1, 1); shoulder and elbow singularities are reported.
// x = (px, py, pz, θ2 + θ3 + θ5) with q = (θ1, θ2, θ3, θ5).
class CPuma4dofModel : public CPumaPitchModel {
 public:
  CPuma4dofModel();

  // Rotation: y-convention Euler angles (atan2(y, x), alpha, 0).
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  // alpha changes sign when the point lies behind the base (x < 0), where the
  // Euler conversion picks the solution turned by π.
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;
};
