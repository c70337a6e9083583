// The outward (base to tip) pass shared by inverse and forward dynamics.
#include "libpuma/PrRobot.h"
#include "libpuma/SpatialKernels.h"

using spatial::cross;

void PrRobot::outwardPass(bool buildInertia) {
  PR_ASSERT(valid());
  const float* q = state_.positions();
  const float* dq = state_.velocities();
  for (int i = 0; i < noj_; ++i) {
    PrLink& L = *links_[i];
    const PrLink& P = L.parentLink();
    const float qd = dq[i];
    const int axis = L.axis_;
    const int s = L.motionIndex();
    L.jointVelocity_.zero();
    L.jointVelocity_[axis] = qd;
    L.setJoint(q[i]);
    if (buildInertia && !L.inertiaValid_) L.buildSpatialInertia();

    const float* R = L.R_.dataPtr();
    const float* p = L.local_.translation.dataPtr();
    const float* Vp = P.V_.dataPtr();
    float* V = L.V_.dataPtr();
    // V = X·V_parent + S·q̇
    spatial::motionToChild(R, p, Vp, V);
    const float wParent[3] = {V[3], V[4], V[5]};  // ω′: the parent's ω in link axes
    V[s] += qd;

    // C: centripetal acceleration of this origin about the parent's origin, plus
    // the joint's own velocity product: ω′ × S·q̇ (revolute) or 2·ω′ × S·q̇ (prismatic).
    float* C = L.C_.dataPtr();
    float wxp[3], wwxp[3];
    cross(Vp + 3, p, wxp);
    cross(Vp + 3, wxp, wwxp);
    spatial::rotateBack(R, wwxp, C);
    float sq[3] = {0.0f, 0.0f, 0.0f};
    sq[axis] = qd;
    float wsq[3];
    cross(wParent, sq, wsq);
    if (L.type_ == PrLink::kRevolute) {
      for (int k = 0; k < 3; ++k) C[3 + k] = wsq[k];
    } else {
      for (int k = 0; k < 3; ++k) {
        C[k] += 2.0f * wsq[k];
        C[3 + k] = 0.0f;
      }
    }

    // Z: (m·ω × (ω × c), ω × (I_o·ω)), I_o the rotational inertia about the origin.
    const float* w = V + 3;
    const float* c = L.com_.dataPtr();
    const float* I = L.I_.dataPtr();
    float* Z = L.Z_.dataPtr();
    float wc[3], wwc[3];
    cross(w, c, wc);
    cross(w, wc, wwc);
    float Iw[3];
    for (int r = 0; r < 3; ++r)
      Iw[r] = I[6 * (3 + r) + 3] * w[0] + I[6 * (3 + r) + 4] * w[1] + I[6 * (3 + r) + 5] * w[2];
    float wIw[3];
    cross(w, Iw, wIw);
    for (int k = 0; k < 3; ++k) {
      Z[k] = L.mass_ * wwc[k];
      Z[3 + k] = wIw[k];
    }
  }
}
