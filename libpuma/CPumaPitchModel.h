// CPumaPitchModel: what the 3- and 4-DOF PUMA models share. Both drive a
// subset of the joints through the full y-convention Euler model, and both
// take as task the operational point along some base axes plus its pitch in
// the arm's vertical plane, which is the sum of the pitch joints' angles.
#pragma once

#include "libpuma/CPumaModelEAY.h"
#include "libpuma/IRobotModel.h"

class CPumaPitchModel : public IRobotModel {
 public:
  // J, dJ (dof × dof): the task rows of the full model's, the pitch row of J
  // replaced by the pitch joints' ones and of dJ by zeros; only the
  // singularities of singularMask are reported.
  void update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq, PrMatrix& J,
              PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g, int& singularFlags,
              PrVector& lockTorque) override;
  // x = (the point along the position axes, the sum of the pitch joints); E = Einv = I.
  void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                    PrMatrix& E) override;

 protected:
  static constexpr int kMaxJoints = 4;

  // positionAxes: the base-frame axes (0 x, 1 y, 2 z) of the task's first
  // npos rows; the pitch row follows them. pitchJoints: 1 for each joint whose
  // angle adds to the pitch, 0 otherwise. The derived constructor then sets
  // m_taskSelection and calls initReduced on m_full.
  CPumaPitchModel(int dof, const int* positionAxes, int npos, const float* pitchJoints, int singularMask);

  CPumaModelEAY m_full;
  PrMatrix m_taskSelection;  // dof × 6: the full model's task rows kept

 private:
  int m_jointCount;
  int m_positionCount;
  int m_positionAxes[kMaxJoints - 1];
  float m_pitchJoints[kMaxJoints];
  int m_singularMask;
  PrMatrix m_fullJ;  // 6 × dof scratch: all task rows of the active joints
  PrMatrix m_fullDJ;
  PrTransform m_endEffector;
};
