// CPumaModelQ: the six-joint PUMA 560 in closed form, with the orientation of
// the operational point written as a unit quaternion.
//
// Config vector (7): x, y, z of the operational point (m, base frame), then the
// quaternion w (scalar part), vx, vy, vz.
#pragma once

#include "libpuma/IRobotModel.h"
#include "matrix/PrTransform.h"

class CPumaModelQ : public IRobotModel {
 public:
  CPumaModelQ();

  void update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq, PrMatrix& J,
              PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g, int& singularFlags,
              PrVector& lockTorque) override;
  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;
  // The quaternion is stored as given (not normalised).
  void configToFrame(const PrVector& x, PrTransform& frame) const override;
  void frameToConfig(const PrTransform& frame, PrVector& x) const override;
  // Rescales the quaternion to unit length; one of norm below 1e-5 becomes (1, 0, 0, 0).
  void normalizeConfig(PrVector& x) const override;

 protected:
  // Reads the driver's end-effector frame and converts it with frameToConfig.
  void currentConfig(IRobotSimDriver& driver, PrVector& x);

  PrTransform m_endEffector;  // scratch for rateMatrices
};
