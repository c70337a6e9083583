#include "libpuma/CPuma3dofModel.h"

#include <cmath>

#include "libpuma/IRobotSimDriver.h"
#include "libpuma/PumaConstants.h"

CPuma3dofModel::CPuma3dofModel() {
  static const float kSelection[3 * 6] = {0, 1, 0, 0, 0, 0,  //
                                          0, 0, 1, 0, 0, 0,  //
                                          0, 0, 0, 0, 1, 0};
  static const float kPosSelect[2 * 3] = {1, 0, 0, 0, 1, 0};
  static const float kOriSelect[3] = {0, 0, 1};
  static const float kLockConfig[6] = {0, 0, 0, 0, 0, 0};
  static const float kTaskSelection[3 * 6] = {1, 0, 0, 0, 0, 0,  //
                                              0, 0, 1, 0, 0, 0,  //
                                              0, 0, 0, 0, 1, 0};
  static const int kConfigIndex[3] = {0, 2, 4};  // the full model's "x", "z", "theta"
  m_taskSelection = PrMatrix(kTaskSelection, 3, 6);
  initReduced(m_full, 3, 3, 3, 2, kSelection, kPosSelect, kOriSelect, kLockConfig, m_taskSelection,
              kConfigIndex);
  m_configNames[2] = "alpha";
  m_fullJ.setSize(6, 3, true);
  m_fullDJ.setSize(6, 3, true);
}

void CPuma3dofModel::update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq,
                            PrMatrix& J, PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g,
                            int& singularFlags, PrVector& lockTorque) {
  updateReduced(m_full, driver, singularThreshold, q, dq, m_fullJ, m_fullDJ, M, b, g, singularFlags,
                lockTorque);
  m_taskSelection.multiply(m_fullJ, J);
  m_taskSelection.multiply(m_fullDJ, dJ);
  // The pitch of the planar arm is the sum of its three joint angles.
  for (int c = 0; c < 3; ++c) {
    J(2, c) = 1.0f;
    dJ(2, c) = 0.0f;
  }
  singularFlags &= kSingularElbow;
}

void CPuma3dofModel::rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                                  PrMatrix& E) {
  PR_ASSERT(q.size() == 3);
  driver.getEndEffectorFrame(m_endEffector);
  x.resize(3);
  x[0] = m_endEffector.translation[0];
  x[1] = m_endEffector.translation[2];
  x[2] = q[0] + q[1] + q[2];
  E.resize(3, 3);
  E.identity();
  Einv.resize(3, 3);
  Einv.identity();
}

void CPuma3dofModel::configToFrame(const PrVector& x, PrTransform& frame) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  frame.translation = PrVector3(x[0], puma::kShoulderOffset, x[1]);
  const double half = 0.5 * x[2];
  frame.rotation =
      PrQuaternion(static_cast<float>(std::cos(half)), 0.0f, static_cast<float>(std::sin(half)), 0.0f);
}

void CPuma3dofModel::frameToConfig(const PrTransform& frame, PrVector& x) const {
  x.resize(m_numConfigParms);
  x[0] = frame.translation[0];
  x[1] = frame.translation[2];
  x[2] = static_cast<float>(2.0 * std::atan2(double(frame.rotation.v[1]), double(frame.rotation.w)));
}
