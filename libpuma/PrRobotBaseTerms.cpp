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
    const float g0[3] = {G[0] * I[0], G[1] * I[1], G[2] * I[2]};
    const float g1[3] = {G[3] * I[0], G[4] * I[1], G[5] * I[2]};
    const float g2[3] = {G[6] * I[0], G[7] * I[1], G[8] * I[2]};
    const float mx = m * c[0], my = m * c[1], mz = m * c[2];
    const float xy = -mx * c[1], xz = -mx * c[2], yz = -my * c[2];
    float* Io = t.Io;
    Io[0] = spatial::dot3(g0, G) + my * c[1] + mz * c[2];
    Io[4] = spatial::dot3(g1, G + 3) + mx * c[0] + mz * c[2];
    Io[8] = spatial::dot3(g2, G + 6) + mx * c[0] + my * c[1];
    Io[1] = Io[3] = spatial::dot3(g0, G + 3) + xy;
    Io[2] = Io[6] = spatial::dot3(g0, G + 6) + xz;
    Io[5] = Io[7] = spatial::dot3(g1, G + 6) + yz;
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
