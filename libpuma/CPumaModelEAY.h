// CPumaModelEAY: the six-joint PUMA with Euler angles in the y convention
// (Z-Y-Z: ψ about z, θ about the new y, φ about the new z).
//
// Config vector (6): x, y, z (m, base frame), ψ, θ, φ (rad; shown in degrees).
#pragma once

#include "libpuma/CPumaModelEA.h"

class CPumaModelEAY : public CPumaModelEA {
 public:
  CPumaModelEAY() = default;

  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;
};
