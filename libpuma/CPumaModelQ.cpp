#include "libpuma/CPumaModelQ.h"

#include <cmath>

#include "libpuma/IRobotSimDriver.h"
#include "libpuma/PumaDynamics.h"
#include "libpuma/PumaKinematics.h"

CPumaModelQ::CPumaModelQ() {
  static const char* const kNames[7] = {"x", "y", "z", "w", "vx", "vy", "vz"};
  static const float kMin[7] = {-1, -1, -1, -1, -1, -1, -1};
  static const float kMax[7] = {1, 1, 1, 1, 1, 1, 1};
  static const bool kIsAngle[7] = {};
  setPumaDefaults();
  setConfigTable(7, kNames, kMin, kMax, kIsAngle);
}

void CPumaModelQ::update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq,
                         PrMatrix& J, PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g, int& singularFlags,
                         PrVector& lockTorque) {
  driver.getJointPositions(q);
  driver.getJointVelocities(dq);
  puma::jacobianAndRate(q, dq, J, dJ);
  puma::massMatrixAndCoriolis(q, dq, M, b);
  // Control always uses the simulator's gravity, so no closed form is needed here.
  g.resize(6);
  driver.computeGravity(g);
  singularFlags = puma::singularFlags(q, singularThreshold);
  lockTorque.setSize(6, true);
}

void CPumaModelQ::currentConfig(IRobotSimDriver& driver, PrVector& x) {
  driver.getEndEffectorFrame(m_endEffector);
  frameToConfig(m_endEffector, x);
}

void CPumaModelQ::rateMatrices(IRobotSimDriver& driver, const PrVector&, PrVector& x, PrMatrix& Einv,
                               PrMatrix& E) {
  currentConfig(driver, x);
  const float w = x[3], vx = x[4], vy = x[5], vz = x[6];

  // ω = 2 (w v̇ - ẇ v + v × v̇)
  E.setSize(6, 7, true);
  for (int i = 0; i < 3; ++i) E(i, i) = 1.0f;
  const float rows[3][4] = {{-2 * vx, 2 * w, -2 * vz, 2 * vy},
                            {-2 * vy, 2 * vz, 2 * w, -2 * vx},
                            {-2 * vz, -2 * vy, 2 * vx, 2 * w}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) E(3 + r, 3 + c) = rows[r][c];
  }

  // q̇ = ½ (0, ω) q
  Einv.setSize(7, 6, true);
  for (int i = 0; i < 3; ++i) Einv(i, i) = 1.0f;
  const float inv[4][3] = {{-vx / 2, -vy / 2, -vz / 2},
                           {w / 2, vz / 2, -vy / 2},
                           {-vz / 2, w / 2, vx / 2},
                           {vy / 2, -vx / 2, w / 2}};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) Einv(3 + r, 3 + c) = inv[r][c];
  }
}

void CPumaModelQ::configToFrame(const PrVector& x, PrTransform& frame) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  frame.translation = PrVector3(x[0], x[1], x[2]);
  frame.rotation = PrQuaternion(x[3], x[4], x[5], x[6]);
}

void CPumaModelQ::frameToConfig(const PrTransform& frame, PrVector& x) const {
  x.resize(m_numConfigParms);
  x[0] = frame.translation[0];
  x[1] = frame.translation[1];
  x[2] = frame.translation[2];
  x[3] = frame.rotation.w;
  x[4] = frame.rotation.v[0];
  x[5] = frame.rotation.v[1];
  x[6] = frame.rotation.v[2];
}

void CPumaModelQ::normalizeConfig(PrVector& x) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  const double n =
      std::sqrt(double(x[3]) * x[3] + double(x[4]) * x[4] + double(x[5]) * x[5] + double(x[6]) * x[6]);
  if (n < 0.00001) {
    x[3] = 1.0f;
    x[4] = x[5] = x[6] = 0.0f;
    return;
  }
  const float k = static_cast<float>(1.0 / n);
  for (int i = 3; i < 7; ++i) x[i] *= k;
}
