#include "libpuma/CPuma4dofModel.h"

#include <cmath>

namespace {
const int kPositionAxes[3] = {0, 1, 2};
const float kPitchJoints[4] = {0, 1, 1, 1};
}  // namespace

CPuma4dofModel::CPuma4dofModel()
    : CPumaPitchModel(4, kPositionAxes, 3, kPitchJoints, kSingularShoulder | kSingularElbow) {
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
