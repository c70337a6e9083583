// Recursive Newton–Euler inverse dynamics, in base coordinates.
#include "libpuma/PrRobot.h"
#include "libpuma/SpatialKernels.h"

void PrRobot::inverseDynamics() {
  ensureKinematics();
  velocityPass();
  const float* ddq = state_.accelerations();
  const float* dq = state_.velocities();

  const float* aParent = baseAcceleration_;
  for (int i = 0; i < noj_; ++i) {
    PrJointTerms& t = terms_[i];
    // a = a_parent + c + S·q̈
    for (int k = 0; k < 6; ++k) t.a[k] = aParent[k] + t.c[k] + t.S[k] * ddq[i];
    aParent = t.a;
    // f = I·a + p: the net force on the link; the joint transmits it plus
    // what the outer links need.
    spatial::rigidInertiaTimes(t.mass, t.h, t.Io, t.a, t.f);
    for (int k = 0; k < 6; ++k) t.f[k] += t.p[k];
  }

  for (int i = noj_ - 1; i >= 0; --i) {
    PrLink& L = *links_[i];
    PrJointTerms& t = terms_[i];
    if (i > 0)
      for (int k = 0; k < 6; ++k) terms_[i - 1].f[k] += t.f[k];
    const float v = dq[i];
    const float* friction = L.friction_.dataPtr();
    float tau = spatial::dot6(t.S, t.f) + friction[0] * v;
    if (v > 0.0f) tau += friction[1];
    if (v < 0.0f) tau -= friction[1];
    L.tau_ = tau;
    torques_[i] = tau;
  }
}
