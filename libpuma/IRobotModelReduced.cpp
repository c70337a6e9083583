// The operations shared by the reduced arms: deriving their tables from a full
// model, and cutting the full model's results down to the active joints while
// computing the torques that hold the other joints in place.
#include <algorithm>

#include "libpuma/IRobotModel.h"
#include "utility/Angles.h"

namespace {
constexpr float kRadToDegLock = float(180 / kPi);
}

void IRobotModel::initReduced(const IRobotModel& fullModel, int dof, int taskDof, int numConfigParms,
                              int npos, const float* selection, const float* posSelect,
                              const float* oriSelect, const float* lockConfig, const PrMatrix& taskSelection,
                              const int* configIndex) {
  PR_ASSERT(numConfigParms >= 1 && numConfigParms <= kMaxConfigParms);
  PR_ASSERT(taskSelection.row() == taskDof && taskSelection.column() == fullModel.m_taskDof);
  m_dof = dof;
  m_fullDof = fullModel.dof();
  m_taskDof = taskDof;
  m_numConfigParms = numConfigParms;
  m_selection.setSize(m_dof, m_fullDof);
  m_selection.setValues(selection);
  m_posSelect.setSize(npos, m_taskDof);
  if (npos > 0) m_posSelect.setValues(posSelect);
  m_oriSelect.setSize(m_taskDof - npos, m_taskDof);
  if (m_taskDof > npos) m_oriSelect.setValues(oriSelect);
  m_lockConfig.setSize(m_fullDof);
  m_lockConfig.setValues(lockConfig, m_fullDof);
  m_lockConfig.multiply(kRadToDegLock, m_lockConfigDeg);

  m_selection.multiply(fullModel.m_jointMin, m_jointMin);
  m_selection.multiply(fullModel.m_jointMax, m_jointMax);
  m_selection.multiply(fullModel.m_jointVelMax, m_jointVelMax);
  m_selection.multiply(fullModel.m_jointAccMax, m_jointAccMax);
  m_selection.multiply(fullModel.m_torqueMax, m_torqueMax);
  m_selection.multiply(fullModel.m_jointKp, m_jointKp);
  m_selection.multiply(fullModel.m_jointKv, m_jointKv);
  m_vmax = fullModel.m_vmax;
  m_amax = fullModel.m_amax;
  m_wmax = fullModel.m_wmax;
  taskSelection.multiply(fullModel.m_taskKp, m_taskKp);
  taskSelection.multiply(fullModel.m_taskKv, m_taskKv);

  m_configMin.setSize(m_numConfigParms);
  m_configMax.setSize(m_numConfigParms);
  for (int i = 0; i < m_numConfigParms; ++i) {
    const int k = configIndex[i];
    PR_ASSERT(k >= 0 && k < fullModel.m_numConfigParms);
    m_configNames[i] = fullModel.m_configNames[k];
    m_configMin[i] = fullModel.m_configMin[k];
    m_configMax[i] = fullModel.m_configMax[k];
    m_configIsAngle[i] = fullModel.m_configIsAngle[k];
  }

  // Size every full-length result once, so the servo tick allocates nothing.
  const int fullTask = fullModel.m_taskDof;
  m_reduced.q.setSize(m_fullDof, true);
  m_reduced.dq.setSize(m_fullDof, true);
  m_reduced.b.setSize(m_fullDof, true);
  m_reduced.g.setSize(m_fullDof, true);
  m_reduced.lockTorque.setSize(m_fullDof, true);
  m_reduced.locked.setSize(m_fullDof, true);
  m_reduced.holdAcc.setSize(m_fullDof, true);
  m_reduced.J.setSize(fullTask, m_fullDof, true);
  m_reduced.dJ.setSize(fullTask, m_fullDof, true);
  m_reduced.M.setSize(m_fullDof, m_fullDof, true);
}

void IRobotModel::updateReduced(IRobotModel& fullModel, IRobotSimDriver& driver, float singularThreshold,
                                PrVector& q, PrVector& dq, PrMatrix& J, PrMatrix& dJ, PrMatrix& M,
                                PrVector& b, PrVector& g, int& singularFlags, PrVector& lockTorque) {
  PR_ASSERT(fullModel.dof() == m_fullDof);
  ReducedScratch& full = m_reduced;
  fullModel.update(driver, singularThreshold, full.q, full.dq, full.J, full.dJ, full.M, full.b, full.g,
                   full.singularFlags, full.lockTorque);

  const int n = m_fullDof;
  for (int i = 0; i < n; ++i) {
    bool active = false;
    for (int r = 0; r < m_dof; ++r) active = active || m_selection(r, i) > 0.5f;
    full.locked[i] = active ? 0.0f : 1.0f;
  }

  // A critically damped pull back to the lock position with a speed limit:
  // a = -kv (dq - v*), v* = clamp(-(kp / kv) (q - q_lock), ±vmax).
  for (int i = 0; i < n; ++i) {
    const float kp = 4.0f * fullModel.m_jointKp[i];
    const float kv = 2.0f * std::max(fullModel.m_jointKv[i], 0.00001f);
    const float vmax = fullModel.m_jointVelMax[i];
    const float vDesired = std::clamp(-(kp / kv) * (full.q[i] - m_lockConfig[i]), -vmax, vmax);
    full.holdAcc[i] = -kv * (full.dq[i] - vDesired);
  }

  // Each locked joint gets its own inertial, Coriolis and gravity torques.
  lockTorque.resize(n);
  for (int i = 0; i < n; ++i) {
    if (full.locked[i] == 0.0f) {
      lockTorque[i] = 0.0f;
      continue;
    }
    double tau = full.b[i] + full.g[i];
    for (int j = 0; j < n; ++j) tau += full.M(i, j) * full.locked[j] * full.holdAcc[j];
    lockTorque[i] = static_cast<float>(tau);
  }

  const int taskRows = full.J.row();
  q.resize(m_dof);
  dq.resize(m_dof);
  b.resize(m_dof);
  g.resize(m_dof);
  J.resize(taskRows, m_dof);
  dJ.resize(taskRows, m_dof);
  M.resize(m_dof, m_dof);
  int c = 0;
  for (int i = 0; i < n && c < m_dof; ++i) {
    if (full.locked[i] != 0.0f) continue;
    q[c] = full.q[i];
    dq[c] = full.dq[i];
    b[c] = full.b[i];
    g[c] = full.g[i];
    for (int r = 0; r < taskRows; ++r) {
      J(r, c) = full.J(r, i);
      dJ(r, c) = full.dJ(r, i);
    }
    int cc = 0;
    for (int j = 0; j < n && cc < m_dof; ++j) {
      if (full.locked[j] != 0.0f) continue;
      M(c, cc) = full.M(i, j);
      ++cc;
    }
    ++c;
  }
  PR_ASSERT(c == m_dof);
  singularFlags = full.singularFlags;
}
