#include "libpuma/CPuma3dofModel.h"

#include <cmath>

#include "libpuma/PumaConstants.h"

namespace {
const int kPositionAxes[2] = {0, 2};
const float kPitchJoints[3] = {1, 1, 1};
}  // namespace

CPuma3dofModel::CPuma3dofModel() : CPumaPitchModel(3, kPositionAxes, 2, kPitchJoints, kSingularElbow) {
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
