#include "libpuma/CPumaModelAA.h"

#include <cmath>

CPumaModelAA::CPumaModelAA() {
  static const char* const kNames[7] = {"x", "y", "z", "theta", "ux", "uy", "uz"};
  static const float kMin[7] = {-1, -1, -1, -180, -1, -1, -1};
  static const float kMax[7] = {1, 1, 1, 180, 1, 1, 1};
  static const bool kIsAngle[7] = {false, false, false, true, false, false, false};
  setConfigTable(7, kNames, kMin, kMax, kIsAngle);
}

void CPumaModelAA::rateMatrices(IRobotSimDriver& driver, const PrVector&, PrVector& x, PrMatrix& Einv,
                                PrMatrix& E) {
  currentConfig(driver, x);
  const double half = 0.5 * x[3];
  const float s = static_cast<float>(std::sin(half)), c = static_cast<float>(std::cos(half));
  const float ux = x[4], uy = x[5], uz = x[6];

  // ω = θ̇ u + sin θ u̇ + (1 - cos θ) u × u̇, with sin θ = 2sc and 1 - cos θ = 2s².
  E.setSize(6, 7, true);
  for (int i = 0; i < 3; ++i) E(i, i) = 1.0f;
  const float sc2 = 2 * s * c, ss2 = 2 * s * s;
  const float rows[3][4] = {
      {ux, sc2, -ss2 * uz, ss2 * uy}, {uy, ss2 * uz, sc2, -ss2 * ux}, {uz, -ss2 * uy, ss2 * ux, sc2}};
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 4; ++k) E(3 + r, 3 + k) = rows[r][k];
  }

  // θ̇ = u·ω; u̇ = ½ (N (I - u uᵀ) - [u]×) ω with N = cot(θ/2). At θ = 0 the
  // axis is undefined and is left still.
  Einv.setSize(7, 6, true);
  for (int i = 0; i < 3; ++i) Einv(i, i) = 1.0f;
  Einv(3, 3) = ux;
  Einv(3, 4) = uy;
  Einv(3, 5) = uz;
  if (s > 0.0001f || s < -0.0001f) {
    const float N = c / s;
    const float inv[3][3] = {
        {0.5f * N * (1 - ux * ux), -0.5f * (N * ux * uy - uz), -0.5f * (N * ux * uz + uy)},
        {-0.5f * (N * uy * ux + uz), 0.5f * N * (1 - uy * uy), -0.5f * (N * uy * uz - ux)},
        {-0.5f * (N * uz * ux - uy), -0.5f * (N * uz * uy + ux), 0.5f * N * (1 - uz * uz)}};
    for (int r = 0; r < 3; ++r) {
      for (int k = 0; k < 3; ++k) Einv(4 + r, 3 + k) = inv[r][k];
    }
  }
}

void CPumaModelAA::configToFrame(const PrVector& x, PrTransform& frame) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  frame.translation = PrVector3(x[0], x[1], x[2]);
  const double half = 0.5 * x[3];
  const float s = static_cast<float>(std::sin(half));
  frame.rotation = PrQuaternion(static_cast<float>(std::cos(half)), s * x[4], s * x[5], s * x[6]);
}

void CPumaModelAA::frameToConfig(const PrTransform& frame, PrVector& x) const {
  x.resize(m_numConfigParms);
  for (int i = 0; i < 3; ++i) x[i] = frame.translation[i];
  PrVector3 axis;
  float angle = 0.0f;
  frame.rotation.toAxisAngle(axis, angle);
  x[3] = angle;
  for (int i = 0; i < 3; ++i) x[4 + i] = axis[i];
}

void CPumaModelAA::normalizeConfig(PrVector& x) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  const double n = std::sqrt(double(x[4]) * x[4] + double(x[5]) * x[5] + double(x[6]) * x[6]);
  if (n < 0.00001) {
    x[4] = 1.0f;
    x[5] = x[6] = 0.0f;
    return;
  }
  const float k = static_cast<float>(1.0 / n);
  for (int i = 4; i < 7; ++i) x[i] *= k;
}
