#include "libpuma/CPuma1dofModel.h"

#include <cmath>

#include "libpuma/PumaConstants.h"
#include "utility/Angles.h"

namespace {
constexpr float kHalfPi = kPiF / 2;
}

CPuma1dofModel::CPuma1dofModel() {
  static const float kSelection[6] = {0, 1, 0, 0, 0, 0};
  static const float kOriSelect[1] = {1};
  static const float kLockConfig[6] = {0, 0, kHalfPi, 0, 0, 0};
  static const float kTaskSelection[6] = {0, 0, 0, 0, 1, 0};
  static const int kConfigIndex[1] = {4};  // the full model's "theta"
  m_taskSelection = PrMatrix(kTaskSelection, 1, 6);
  initReduced(m_full, 1, 1, 1, 0, kSelection, nullptr, kOriSelect, kLockConfig, m_taskSelection,
              kConfigIndex);
  m_configNames[0] = "alpha";
}

void CPuma1dofModel::update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq,
                            PrMatrix& J, PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g,
                            int& singularFlags, PrVector& lockTorque) {
  updateReduced(m_full, driver, singularThreshold, q, dq, J, dJ, M, b, g, singularFlags, lockTorque);
  J.resize(1, 1);
  J(0, 0) = 1.0f;
  dJ.resize(1, 1);
  dJ(0, 0) = 0.0f;
  singularFlags = 0;
}

void CPuma1dofModel::rateMatrices(IRobotSimDriver&, const PrVector& q, PrVector& x, PrMatrix& Einv,
                                  PrMatrix& E) {
  PR_ASSERT(q.size() == 1);
  x.resize(1);
  x[0] = q[0];
  E.resize(1, 1);
  E(0, 0) = 1.0f;
  Einv.resize(1, 1);
  Einv(0, 0) = 1.0f;
}

void CPuma1dofModel::configToFrame(const PrVector& x, PrTransform& frame) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  const double alpha = x[0];
  const double reach = double(puma::kA2) + puma::kD4 + puma::kToolLength;
  frame.translation = PrVector3(static_cast<float>(reach * std::cos(alpha)), puma::kShoulderOffset,
                                static_cast<float>(-reach * std::sin(alpha)));
  const double half = 0.5 * (alpha + kPi / 2);
  frame.rotation =
      PrQuaternion(static_cast<float>(std::cos(half)), 0.0f, static_cast<float>(std::sin(half)), 0.0f);
}

void CPuma1dofModel::frameToConfig(const PrTransform& frame, PrVector& x) const {
  x.resize(m_numConfigParms);
  x[0] = static_cast<float>(std::atan2(-double(frame.translation[2]), double(frame.translation[0])));
}
