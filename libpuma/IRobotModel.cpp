#include "libpuma/IRobotModel.h"

#include "utility/Angles.h"

namespace {
constexpr double kRadToDeg = 180 / kPi;
constexpr double kDegToRad = kPi / 180;

void fillVector(PrVector& v, const float* values, int n, double scale) {
  v.setSize(n);
  for (int i = 0; i < n; ++i) v[i] = static_cast<float>(values[i] * scale);
}

void fillVector(PrVector& v, float value, int n, double scale) {
  v.setSize(n);
  for (int i = 0; i < n; ++i) v[i] = static_cast<float>(value * scale);
}
}  // namespace

IRobotModel::~IRobotModel() = default;

void IRobotModel::normalizeConfig(PrVector&) const {}

void IRobotModel::configToDegrees(const PrVector& src, PrVector& dst) const {
  PR_ASSERT(src.size() == m_numConfigParms);
  dst.resize(m_numConfigParms);
  for (int i = 0; i < m_numConfigParms; ++i) {
    dst[i] = m_configIsAngle[i] ? static_cast<float>(src[i] * kRadToDeg) : src[i];
  }
}

void IRobotModel::configToRadians(const PrVector& src, PrVector& dst) const {
  PR_ASSERT(src.size() == m_numConfigParms);
  dst.resize(m_numConfigParms);
  for (int i = 0; i < m_numConfigParms; ++i) {
    dst[i] = m_configIsAngle[i] ? static_cast<float>(src[i] * kDegToRad) : src[i];
  }
}

void IRobotModel::setPumaDefaults() {
  static const float kJointMinDeg[6] = {-160, -223, -40, -130, -100, -266};
  static const float kJointMaxDeg[6] = {160, 43, 240, 180, 100, 266};
  static const float kTorqueMax[6] = {97.6f, 156.4f, 89.4f, 24.2f, 20.1f, 21.2f};

  m_dof = 6;
  m_fullDof = 6;
  m_taskDof = 6;
  fillVector(m_jointMin, kJointMinDeg, m_dof, kDegToRad);
  fillVector(m_jointMax, kJointMaxDeg, m_dof, kDegToRad);
  fillVector(m_jointVelMax, 45.0f, m_dof, kDegToRad);
  fillVector(m_jointAccMax, 60.0f, m_dof, kDegToRad);
  fillVector(m_torqueMax, kTorqueMax, m_dof, 1.0);
  m_vmax = 0.3f;
  m_amax = 10.0f;
  m_wmax = static_cast<float>(45.0 * kDegToRad);
  fillVector(m_jointKp, 400.0f, m_dof, 1.0);
  fillVector(m_jointKv, 40.0f, m_dof, 1.0);
  fillVector(m_taskKp, 400.0f, m_taskDof, 1.0);
  fillVector(m_taskKv, 40.0f, m_taskDof, 1.0);

  m_selection.setSize(m_dof, m_fullDof);
  m_selection.identity();
  m_posSelect.setSize(3, m_taskDof, true);
  m_oriSelect.setSize(m_taskDof - 3, m_taskDof, true);
  for (int i = 0; i < 3; ++i) {
    m_posSelect(i, i) = 1.0f;
    m_oriSelect(i, 3 + i) = 1.0f;
  }
  m_lockConfig.setSize(m_fullDof, true);
  m_lockConfigDeg.setSize(m_fullDof, true);
}

void IRobotModel::setConfigTable(int numConfigParms, const char* const* names, const float* minimum,
                                 const float* maximum, const bool* isAngle) {
  PR_ASSERT(numConfigParms >= 1 && numConfigParms <= kMaxConfigParms);
  m_numConfigParms = numConfigParms;
  m_configMin.setSize(numConfigParms);
  m_configMax.setSize(numConfigParms);
  for (int i = 0; i < numConfigParms; ++i) {
    m_configNames[i] = names[i];
    m_configIsAngle[i] = isAngle[i];
    m_configMin[i] = minimum[i];
    m_configMax[i] = maximum[i];
  }
  // The bounds of angle parameters are written in degrees.
  configToRadians(m_configMin, m_configMin);
  configToRadians(m_configMax, m_configMax);
}
