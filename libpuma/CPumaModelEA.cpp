#include "libpuma/CPumaModelEA.h"

#include <algorithm>
#include <cmath>

CPumaModelEA::CPumaModelEA() {
  static const char* const kNames[6] = {"x", "y", "z", "psi", "theta", "phi"};
  static const float kMin[6] = {-1, -1, -1, -180, -180, -180};
  static const float kMax[6] = {1, 1, 1, 180, 180, 180};
  static const bool kIsAngle[6] = {false, false, false, true, true, true};
  setConfigTable(6, kNames, kMin, kMax, kIsAngle);
}

void CPumaModelEA::rateMatrices(IRobotSimDriver& driver, const PrVector&, PrVector& x, PrMatrix& Einv,
                                PrMatrix& E) {
  currentConfig(driver, x);
  eulerRateMatrices(x, 0.0, Einv, E);
}

void CPumaModelEA::eulerRateMatrices(const PrVector& x, double psiShift, PrMatrix& Einv, PrMatrix& E) {
  const double psi = x[3] + psiShift, theta = x[4];
  const float c = static_cast<float>(std::cos(psi)), s = static_cast<float>(std::sin(psi));
  const float ct = static_cast<float>(std::cos(theta)), st = static_cast<float>(std::sin(theta));

  // ω = ψ̇ z + θ̇ (c, s, 0) + φ̇ (s sθ, -c sθ, cθ)
  E.setSize(6, 6, true);
  Einv.setSize(6, 6, true);
  for (int i = 0; i < 3; ++i) E(i, i) = Einv(i, i) = 1.0f;
  const float rows[3][3] = {{0, c, s * st}, {0, s, -c * st}, {1, 0, ct}};
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 3; ++k) E(3 + r, 3 + k) = rows[r][k];
  }

  float inv[3][3];
  if (st > 0.0001f || st < -0.0001f) {
    const float inv0[3][3] = {{-s * ct / st, c * ct / st, 1}, {c, s, 0}, {s / st, -c / st, 0}};
    std::copy(&inv0[0][0], &inv0[0][0] + 9, &inv[0][0]);
  } else {
    // ψ and φ turn about the same axis: split the z rate between them.
    const float inv0[3][3] = {{0, 0, 0.5f}, {c, s, 0}, {0, 0, ct > 0 ? 0.5f : -0.5f}};
    std::copy(&inv0[0][0], &inv0[0][0] + 9, &inv[0][0]);
  }
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 3; ++k) Einv(3 + r, 3 + k) = inv[r][k];
  }
}

void CPumaModelEA::configToFrame(const PrVector& x, PrTransform& frame) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  frame.translation = PrVector3(x[0], x[1], x[2]);
  frame.rotation.fromEulerZXZ(x[3], x[4], x[5]);
}

void CPumaModelEA::frameToConfig(const PrTransform& frame, PrVector& x) const {
  x.resize(m_numConfigParms);
  for (int i = 0; i < 3; ++i) x[i] = frame.translation[i];
  frame.rotation.toEulerZXZ(x[3], x[4], x[5]);
}

void CPumaModelEA::normalizeConfig(PrVector& x) const { IRobotModel::normalizeConfig(x); }
