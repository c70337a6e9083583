// CPuma4dofModel: the PUMA moving joints 1, 2, 3 and 5 (the planar arm turned
// about the base); joints 4 and 6 are held at 0 by the lock torques.
//
// Config vector (4): x, y, z of the operational point (m, base frame) and
// "alpha", its pitch in the arm's vertical plane (rad; shown in degrees).
#pragma once

#include "libpuma/CPumaModelEAY.h"
#include "libpuma/IRobotModel.h"

class CPuma4dofModel : public IRobotModel {
 public:
  CPuma4dofModel();

  // J, dJ (4 × 4): the x, y, z and pitch rows of the full model's; the pitch
  // row of J is (0, 1, 1, 1) and of dJ zero. Shoulder and elbow singularities.
  void update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq, PrMatrix& J,
              PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g, int& singularFlags,
              PrVector& lockTorque) override;
  // x = (px, py, pz, θ2 + θ3 + θ5) with q = (θ1, θ2, θ3, θ5); E = Einv = I.
  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;
  // Rotation: y-convention Euler angles (atan2(y, x), alpha, 0).
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  // alpha changes sign when the point lies behind the base (x < 0), where the
  // Euler conversion picks the solution turned by π.
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;

 private:
  CPumaModelEAY m_full;
  PrMatrix m_taskSelection;  // 4 × 6: x, y, z, rotation about y
  PrMatrix m_fullJ;          // 6 × 4 scratch: all task rows of the active joints
  PrMatrix m_fullDJ;
  PrTransform m_endEffector;
};
