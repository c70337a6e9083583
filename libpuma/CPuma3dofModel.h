// CPuma3dofModel: the PUMA moving joints 2, 3 and 5 in its vertical plane;
// joints 1, 4 and 6 are held at 0 by the lock torques.
//
// Config vector (3): x, z of the operational point (m, base frame) and "alpha",
// its pitch about y (rad; shown in degrees).
#pragma once

#include "libpuma/CPumaModelEAY.h"
#include "libpuma/IRobotModel.h"

class CPuma3dofModel : public IRobotModel {
 public:
  CPuma3dofModel();

  // J, dJ (3 × 3): the x, z and pitch rows of the full model's; the pitch row
  // of J is (1, 1, 1) and of dJ zero. Only the elbow singularity is reported.
  void update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq, PrMatrix& J,
              PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g, int& singularFlags,
              PrVector& lockTorque) override;
  // x = (px, pz, θ2 + θ3 + θ5) with q = (θ2, θ3, θ5); E = Einv = I.
  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;

 private:
  CPumaModelEAY m_full;
  PrMatrix m_taskSelection;  // 3 × 6: x, z, rotation about y
  PrMatrix m_fullJ;          // 6 × 3 scratch: all task rows of the active joints
  PrMatrix m_fullDJ;
  PrTransform m_endEffector;
};
