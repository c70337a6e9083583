// CPumaModelAA: the six-joint PUMA with the orientation written as a rotation
// angle θ about a unit axis u.
//
// Config vector (7): x, y, z (m, base frame), θ (rad; shown in degrees), ux, uy, uz.
#pragma once

#include "libpuma/CPumaModelQ.h"

class CPumaModelAA : public CPumaModelQ {
 public:
  CPumaModelAA();

  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;
  // The axis is used as given (not normalised).
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  // Angle in [0, 2π]; the identity gives angle 0 about (1, 0, 0).
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;
  // Rescales the axis to unit length; an axis of norm below 1e-5 becomes (1, 0, 0).
  void normalizeConfig(PrVector& x) const override;
};
