// Forward dynamics by the articulated-body algorithm, with joint friction.
//
// Friction acts in both passes, for two different purposes: in the inward pass
// an estimate (viscous and Coulomb friction of a moving joint) shapes the load
// that each joint hands to its parent; in the acceleration pass the joint's
// actual friction, static friction included, is decided from the full driving
// torque x, which only then is known. The second replaces the first for the
// joint itself, so viscous and Coulomb friction are each counted once.
#include <cmath>

#include "libpuma/PrRobot.h"
#include "libpuma/SpatialKernels.h"

namespace {

// Friction never does more than stop a moving joint within one servo period (s).
constexpr float kStopTime = 0.002f;

// Friction torque of the inward pass for joint velocity v. A joint at rest
// gets none here: its commanded torque may be holding a load (gravity, say),
// and static friction guessed from the bare command would hand the parent a
// joint that seems to let go. Whether it sticks is decided in the
// acceleration pass, from the full driving torque.
float articulatedFriction(float v, float fc, float dInv) {
  if (v == 0.0f) return 0.0f;
  float c = v > 0.0f ? -fc : fc;
  const float stop = -v / (dInv * kStopTime);
  if (dInv > 0.0f && std::fabs(stop) < std::fabs(c)) c = stop;
  return c;
}

// Friction torque of the acceleration pass for velocity v and driving torque x;
// `stops` tells whether it stops or holds the joint within kStopTime.
float accelerationFriction(float v, float x, float fc, float fs, float dInv, bool& stops) {
  stops = false;
  float f;
  if (std::fabs(v) > 0.01f)
    f = v > 0.0f ? -fc : fc;
  else if (v == 0.0f)
    f = x == 0.0f ? 0.0f : (x > 0.0f ? -fs : fs);
  else
    f = v > 0.0f ? -fs : fs;
  if (std::fabs(x) < std::fabs(f) && dInv > 0.0f) {
    // Friction dominates: it may hold the joint, or stop it, but never reverse it.
    const float stop = -v / (dInv * kStopTime);
    if (std::fabs(stop) < std::fabs(x + f)) {
      f = stop - x;
      stops = true;
    }
  }
  return f;
}

}  // namespace

void PrRobot::forwardDynamics() {
  ensureKinematics();
  velocityPass();
  const float* dq = state_.velocities();
  float* ddq = state_.accelerations();

  // Inward pass: articulated inertias and bias forces, tip to base. In base
  // coordinates a link's share is simply added to its parent's, so one running
  // Ia and pa serve the whole chain: on entry they hold the share of the links
  // beyond joint i, after the link's own terms are added they are joint i's.
  float Ia[36] = {};
  float pa[6] = {};
  for (int i = noj_ - 1; i >= 0; --i) {
    PrLink& L = *links_[i];
    PrJointTerms& t = terms_[i];
    // Ia += I = [[m·1, [h×]ᵀ], [[h×], Io]]; pa += p
    const float m = t.mass, h0 = t.h[0], h1 = t.h[1], h2 = t.h[2];
    Ia[0] += m;
    Ia[7] += m;
    Ia[14] += m;
    Ia[4] += h2, Ia[5] -= h1, Ia[9] -= h2, Ia[11] += h0, Ia[15] += h1, Ia[16] -= h0;
    Ia[19] -= h2, Ia[20] += h1, Ia[24] += h2, Ia[26] -= h0, Ia[30] -= h1, Ia[31] += h0;
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) Ia[6 * (3 + r) + 3 + k] += t.Io[3 * r + k];
    for (int k = 0; k < 6; ++k) pa[k] += t.p[k];

    // U = Ia·S, D⁻¹ = 1/(Sᵀ·U)
    spatial::multiply6(Ia, t.S, t.U);
    t.dInv = 1.0f / spatial::dot6(t.S, t.U);

    const float v = dq[i];
    const float* friction = L.friction_.dataPtr();
    const float fc = articulatedFriction(v, friction[1], t.dInv);
    L.tau_ = torques_[i] - friction[0] * v + fc;

    // b = Ia·c + pa, u = Sᵀ·b
    float b[6];
    spatial::multiply6(Ia, t.c, b);
    for (int k = 0; k < 6; ++k) b[k] += pa[k];
    t.uTerm = spatial::dot6(t.S, b);
    if (i == 0) break;  // the first joint hangs from the fixed base

    // The parent's share: Ia − U·Uᵀ·D⁻¹ and Ia·c + pa + U·(τ′ − u)·D⁻¹.
    for (int r = 0; r < 6; ++r) {
      const float scaled = t.U[r] * t.dInv;
      for (int k = 0; k < 6; ++k) Ia[6 * r + k] -= scaled * t.U[k];
    }
    const float gain = (L.tau_ - t.uTerm) * t.dInv;
    for (int k = 0; k < 6; ++k) pa[k] = b[k] + t.U[k] * gain;
  }

  // Acceleration pass, base to tip; the base's acceleration stands for gravity.
  const float* aParent = baseAcceleration_;
  for (int i = 0; i < noj_; ++i) {
    PrLink& L = *links_[i];
    PrJointTerms& t = terms_[i];
    const float v = dq[i];
    const float* friction = L.friction_.dataPtr();
    // x: everything that drives the joint except Coulomb and static friction.
    const float x = torques_[i] - friction[0] * v - spatial::dot6(t.U, aParent) - t.uTerm;
    const float f = accelerationFriction(v, x, friction[1], friction[2], t.dInv, L.frictionStop_);
    const float qdd = (x + f) * t.dInv;
    ddq[i] = qdd;
    // a = a_parent + c + S·q̈
    for (int k = 0; k < 6; ++k) t.a[k] = aParent[k] + t.c[k] + t.S[k] * qdd;
    aParent = t.a;
  }
}
