// Recursive Newton–Euler inverse dynamics.
#include "libpuma/PrRobot.h"
#include "libpuma/SpatialKernels.h"

void PrRobot::inverseDynamics() {
  outwardPass(false);
  updateEndEffectorFrames();
  const float* ddq = state_.accelerations();
  const float* dq = state_.velocities();

  for (int i = 0; i < noj_; ++i) {
    PrLink& L = *links_[i];
    float* A = L.A_.dataPtr();
    // A = X·A_parent + C + S·q̈
    spatial::motionToChild(L.R_.dataPtr(), L.local_.translation.dataPtr(), L.parentLink().A_.dataPtr(), A);
    const float* C = L.C_.dataPtr();
    for (int k = 0; k < 6; ++k) A[k] += C[k];
    A[L.motionIndex()] += ddq[i];
    L.jointAcceleration_.zero();
    L.jointAcceleration_[L.axis_] = ddq[i];
    // Fnet = I·A + Z; the joint transmits it plus what the outer links need.
    float* Fnet = L.Fnet_.dataPtr();
    spatial::multiply6(L.I_.dataPtr(), A, Fnet);
    const float* Z = L.Z_.dataPtr();
    for (int k = 0; k < 6; ++k) Fnet[k] += Z[k];
    L.F_ = L.Fnet_;
  }

  for (int i = noj_ - 1; i >= 0; --i) {
    PrLink& L = *links_[i];
    if (L.parent_ != root_.get())
      spatial::addForceToParent(L.R_.dataPtr(), L.local_.translation.dataPtr(), L.F_.dataPtr(),
                                L.parent_->F_.dataPtr());
    const float v = dq[i];
    const float* friction = L.friction_.dataPtr();
    float tau = L.F_[L.motionIndex()] + friction[0] * v;
    if (v > 0.0f) tau += friction[1];
    if (v < 0.0f) tau -= friction[1];
    L.tau_ = tau;
    torques_[i] = tau;
  }
}
