#include "libpuma/CPumaPitchModel.h"

#include "libpuma/IRobotSimDriver.h"

CPumaPitchModel::CPumaPitchModel(int dof, const int* positionAxes, int npos, const float* pitchJoints,
                                 int singularMask)
    : m_jointCount(dof), m_positionCount(npos), m_singularMask(singularMask) {
  PR_ASSERT(dof <= kMaxJoints && npos == dof - 1);
  for (int i = 0; i < npos; ++i) m_positionAxes[i] = positionAxes[i];
  for (int c = 0; c < dof; ++c) m_pitchJoints[c] = pitchJoints[c];
  m_fullJ.setSize(6, dof, true);
  m_fullDJ.setSize(6, dof, true);
}

void CPumaPitchModel::update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq,
                             PrMatrix& J, PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g,
                             int& singularFlags, PrVector& lockTorque) {
  updateReduced(m_full, driver, singularThreshold, q, dq, m_fullJ, m_fullDJ, M, b, g, singularFlags,
                lockTorque);
  m_taskSelection.multiply(m_fullJ, J);
  m_taskSelection.multiply(m_fullDJ, dJ);
  const int pitch = m_positionCount;
  for (int c = 0; c < m_jointCount; ++c) {
    J(pitch, c) = m_pitchJoints[c];
    dJ(pitch, c) = 0.0f;
  }
  singularFlags &= m_singularMask;
}

void CPumaPitchModel::rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                                   PrMatrix& E) {
  PR_ASSERT(q.size() == m_jointCount);
  driver.getEndEffectorFrame(m_endEffector);
  x.resize(m_jointCount);
  for (int i = 0; i < m_positionCount; ++i) x[i] = m_endEffector.translation[m_positionAxes[i]];
  float pitch = 0.0f;
  for (int c = 0; c < m_jointCount; ++c) {
    if (m_pitchJoints[c] != 0.0f) pitch += q[c];
  }
  x[m_positionCount] = pitch;
  E.resize(m_jointCount, m_jointCount);
  E.identity();
  Einv.resize(m_jointCount, m_jointCount);
  Einv.identity();
}
