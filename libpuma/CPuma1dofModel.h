// CPuma1dofModel: the PUMA moving joint 2 alone, with the elbow held stretched
// (θ3 = π/2) and every other joint held at 0 by the lock torques.
//
// Config vector (1): "alpha", the joint-2 angle (rad; shown in degrees).
#pragma once

#include "libpuma/CPumaModelEAY.h"
#include "libpuma/IRobotModel.h"

class CPuma1dofModel : public IRobotModel {
 public:
  CPuma1dofModel();

  // The full model's results for joint 2; J = [1], dJ = [0], no singularities.
  void update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq, PrMatrix& J,
              PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g, int& singularFlags,
              PrVector& lockTorque) override;
  // x = q; E = Einv = [1]. The driver is not read.
  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;
  // The tip of the stretched arm in the plane y = 0.1501, pointing along the arm.
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;

 private:
  CPumaModelEAY m_full;
  PrMatrix m_taskSelection;  // 1 × 6: rotation about y
};
