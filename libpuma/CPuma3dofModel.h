// CPuma3dofModel: the PUMA moving joints 2, 3 and 5 in its vertical plane;
// joints 1, 4 and 6 are held at 0 by the lock torques.
//
// Config vector (3): x, z of the operational point (m, base frame) and "alpha",
// its pitch about y (rad; shown in degrees).
#pragma once

#include "libpuma/CPumaPitchModel.h"

// J's pitch row is (1, 1, 1); only the elbow singularity is reported.
// x = (px, pz, θ2 + θ3 + θ5) with q = (θ2, θ3, θ5).
class CPuma3dofModel : public CPumaPitchModel {
 public:
  CPuma3dofModel();

  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;
};
