// Mass matrix (composite rigid bodies) and gravity torques, in base coordinates.
//
// In base coordinates the inertia of the links beyond joint i is the plain sum
// of their rigid-body inertias, so M[j][i] = S_jᵀ·I_i^c·S_i for j ≤ i, with
// I_i^c the composite inertia of links i..n−1, and the holding torque of
// joint i is S_iᵀ of the gravity wrench on those links.
#include "libpuma/PrRobot.h"
#include "libpuma/SpatialKernels.h"

void PrRobot::massMatrix(float* M) {
  ensureKinematics();
  float mass = 0.0f;
  float h[3] = {};
  float Io[9] = {};
  for (int i = noj_ - 1; i >= 0; --i) {
    const PrJointTerms& t = terms_[i];
    mass += t.mass;
    for (int k = 0; k < 3; ++k) h[k] += t.h[k];
    for (int k = 0; k < 9; ++k) Io[k] += t.Io[k];
    // F = I_i^c·S_i, the force that a unit acceleration of joint i needs.
    float F[6];
    spatial::rigidInertiaTimes(mass, h, Io, t.S, F);
    for (int j = 0; j <= i; ++j) {
      const float value = spatial::dot6(terms_[j].S, F);
      M[noj_ * i + j] = value;
      M[noj_ * j + i] = value;
    }
  }
}

void PrRobot::gravityTorques(float* g) {
  ensureKinematics();
  const float* up = gravity_.dataPtr();
  float mass = 0.0f;
  float h[3] = {};
  for (int i = noj_ - 1; i >= 0; --i) {
    const PrJointTerms& t = terms_[i];
    mass += t.mass;
    for (int k = 0; k < 3; ++k) h[k] += t.h[k];
    // The wrench about the base origin that holds links i..n−1: (M·g_up, h × g_up).
    float F[6];
    for (int k = 0; k < 3; ++k) F[k] = mass * up[k];
    spatial::cross(h, up, F + 3);
    g[i] = spatial::dot6(t.S, F);
  }
}
