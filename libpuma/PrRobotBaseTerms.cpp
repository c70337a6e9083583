// The terms every recursive pass starts from, in base coordinates: the
// joint axes and rigid-body inertias from the link frames, then the
// velocities and their products from the joint rates.
#include "libpuma/PrRobot.h"
#include "libpuma/SpatialKernels.h"

using spatial::cross;

void PrRobot::updateBaseTerms() {
  for (int i = 0; i < noj_; ++i) {
    const PrLink& L = *links_[i];
    PrJointTerms& t = terms_[i];
    const float* G = L.globalR_.dataPtr();
    const float* o = L.global_.translation.dataPtr();
    const float z[3] = {G[L.axis_], G[3 + L.axis_], G[6 + L.axis_]};
    // S = (o × z, z): the velocity a unit joint rate gives the point at the base origin.
    if (L.type_ == PrLink::kRevolute) {
      cross(o, z, t.S);
      for (int k = 0; k < 3; ++k) t.S[3 + k] = z[k];
    } else {
      for (int k = 0; k < 3; ++k) {
        t.S[k] = z[k];
        t.S[3 + k] = 0.0f;
      }
    }
    // Centre of mass in the base frame, c = o + G·c_link; h = m·c.
    const float m = L.mass_;
    float c[3];
    spatial::rotate(G, L.com_.dataPtr(), c);
    for (int k = 0; k < 3; ++k) {
      c[k] += o[k];
      t.h[k] = m * c[k];
    }
    t.mass = m;
    // Io = G·diag(I)·Gᵀ + m·(|c|²·1 − c·cᵀ), the parallel-axis theorem to the base origin.
    const float* I = L.inertia_.dataPtr();
    const float cc = spatial::dot3(c, c);
    for (int r = 0; r < 3; ++r) {
      for (int k = r; k < 3; ++k) {
        const float Ic = G[3 * r] * I[0] * G[3 * k] + G[3 * r + 1] * I[1] * G[3 * k + 1] +
                         G[3 * r + 2] * I[2] * G[3 * k + 2];
        const float value = Ic + m * ((r == k ? cc : 0.0f) - c[r] * c[k]);
        t.Io[3 * r + k] = value;
        t.Io[3 * k + r] = value;
      }
    }
  }
}

void PrRobot::velocityPass() {
  const float* dq = state_.velocities();
  const float zero[6] = {};
  const float* Vparent = zero;
  for (int i = 0; i < noj_; ++i) {
    PrJointTerms& t = terms_[i];
    // V = V_parent + S·q̇
    float Sq[6];
    for (int k = 0; k < 6; ++k) {
      Sq[k] = t.S[k] * dq[i];
      t.V[k] = Vparent[k] + Sq[k];
    }
    // c = Ṡ·q̇ = V ×ₘ S·q̇
    spatial::crossMotion(t.V, Sq, t.c);
    // p = V ×f I·V
    float momentum[6];
    spatial::rigidInertiaTimes(t.mass, t.h, t.Io, t.V, momentum);
    spatial::crossForce(t.V, momentum, t.p);
    Vparent = t.V;
  }
}
