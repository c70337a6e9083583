#include "libpuma/CPuma4dofModel.h"

#include <cmath>

#include "libpuma/IRobotSimDriver.h"

CPuma4dofModel::CPuma4dofModel() {
  static const float kSelection[4 * 6] = {1, 0, 0, 0, 0, 0,  //
                                          0, 1, 0, 0, 0, 0,  //
                                          0, 0, 1, 0, 0, 0,  //
                                          0, 0, 0, 0, 1, 0};
  static const float kPosSelect[3 * 4] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
  static const float kOriSelect[4] = {0, 0, 0, 1};
  static const float kLockConfig[6] = {0, 0, 0, 0, 0, 0};
  static const float kTaskSelection[4 * 6] = {1, 0, 0, 0, 0, 0,  //
                                              0, 1, 0, 0, 0, 0,  //
                                              0, 0, 1, 0, 0, 0,  //
                                              0, 0, 0, 0, 1, 0};
  static const int kConfigIndex[4] = {0, 1, 2, 4};  // the full model's "x", "y", "z", "theta"
  m_taskSelection = PrMatrix(kTaskSelection, 4, 6);
  initReduced(m_full, 4, 4, 4, 3, kSelection, kPosSelect, kOriSelect, kLockConfig, m_taskSelection,
              kConfigIndex);
  m_configNames[3] = "alpha";
  m_fullJ.setSize(6, 4, true);
  m_fullDJ.setSize(6, 4, true);
}

void CPuma4dofModel::update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq,
                            PrMatrix& J, PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g,
                            int& singularFlags, PrVector& lockTorque) {
  updateReduced(m_full, driver, singularThreshold, q, dq, m_fullJ, m_fullDJ, M, b, g, singularFlags,
                lockTorque);
  m_taskSelection.multiply(m_fullJ, J);
  m_taskSelection.multiply(m_fullDJ, dJ);
  // The pitch in the arm's plane is the sum of the three pitch joints.
  const float pitchRow[4] = {0, 1, 1, 1};
  for (int c = 0; c < 4; ++c) {
    J(3, c) = pitchRow[c];
    dJ(3, c) = 0.0f;
  }
  singularFlags &= kSingularShoulder | kSingularElbow;
}

void CPuma4dofModel::rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                                  PrMatrix& E) {
  PR_ASSERT(q.size() == 4);
  driver.getEndEffectorFrame(m_endEffector);
  x.resize(4);
  for (int i = 0; i < 3; ++i) x[i] = m_endEffector.translation[i];
  x[3] = q[1] + q[2] + q[3];
  E.resize(4, 4);
  E.identity();
  Einv.resize(4, 4);
  Einv.identity();
}

void CPuma4dofModel::configToFrame(const PrVector& x, PrTransform& frame) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  frame.translation = PrVector3(x[0], x[1], x[2]);
  const float heading = static_cast<float>(std::atan2(double(x[1]), double(x[0])));
  frame.rotation.fromEulerZYZ(heading, x[3], 0.0f);
}

void CPuma4dofModel::frameToConfig(const PrTransform& frame, PrVector& x) const {
  x.resize(m_numConfigParms);
  for (int i = 0; i < 3; ++i) x[i] = frame.translation[i];
  float psi = 0.0f, theta = 0.0f, phi = 0.0f;
  frame.rotation.toEulerZYZ(psi, theta, phi);
  x[3] = x[0] < 0.0f ? -theta : theta;
}
