// CPumaModelEA: the six-joint PUMA with the orientation written as Euler angles
// in the x convention (Z-X-Z: ψ about z, θ about the new x, φ about the new z).
//
// Config vector (6): x, y, z (m, base frame), ψ, θ, φ (rad; shown in degrees).
#pragma once

#include "libpuma/CPumaModelQ.h"

class CPumaModelEA : public CPumaModelQ {
 public:
  CPumaModelEA();

  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;
  // Euler angles need no normalising.
  void normalizeConfig(PrVector& x) const override;

 protected:
  // E and Einv (6 × 6) of a Z-?-Z convention whose second axis, after the first
  // turn, points along (cos(ψ + psiShift), sin(ψ + psiShift), 0): a shift of 0
  // is the x convention, π/2 the y convention. x is the current config.
  static void eulerRateMatrices(const PrVector& x, double psiShift, PrMatrix& Einv, PrMatrix& E);
};
