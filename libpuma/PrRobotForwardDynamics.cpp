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
  outwardPass(true);
  updateEndEffectorFrames();
  const float* dq = state_.velocities();
  float* ddq = state_.accelerations();

  for (int i = 0; i < noj_; ++i) {
    links_[i]->Ia_ = links_[i]->I_;
    links_[i]->Za_ = links_[i]->Z_;
  }

  // Inward pass: articulated inertias and bias forces, tip to base.
  for (int i = noj_ - 1; i >= 0; --i) {
    PrLink& L = *links_[i];
    const int s = L.motionIndex();
    const float* Ia = L.Ia_.dataPtr();
    float* U = L.U_.dataPtr();
    // U = Ia·S (Ia is symmetric: its S-th column is its S-th row), D⁻¹ = 1/U[S]
    for (int k = 0; k < 6; ++k) U[k] = Ia[6 * s + k];
    L.dInv_ = 1.0f / U[s];

    const float v = dq[i];
    const float* friction = L.friction_.dataPtr();
    const float c = articulatedFriction(v, friction[1], L.dInv_);
    L.tau_ = torques_[i] - friction[0] * v + c;

    // p = Ia·C + Za, u = p[S]
    float* p = L.scratchVector_.dataPtr();
    spatial::multiply6(Ia, L.C_.dataPtr(), p);
    const float* Za = L.Za_.dataPtr();
    for (int k = 0; k < 6; ++k) p[k] += Za[k];
    L.uTerm_ = p[s];
    if (L.parent_ == root_.get()) continue;

    const float* R = L.R_.dataPtr();
    const float* t = L.local_.translation.dataPtr();
    // Ia_parent += X*·(Ia − U·Uᵀ·D⁻¹)·X
    float* reduced = L.scratch6_.dataPtr();
    for (int r = 0; r < 6; ++r)
      for (int k = 0; k < 6; ++k) reduced[6 * r + k] = Ia[6 * r + k] - U[r] * U[k] * L.dInv_;
    spatial::addInertiaToParent(R, t, reduced, L.parent_->Ia_.dataPtr());
    // Za_parent += X*·(Ia·C + Za + U·(τ′ − u)·D⁻¹)
    const float gain = (L.tau_ - L.uTerm_) * L.dInv_;
    for (int k = 0; k < 6; ++k) p[k] += U[k] * gain;
    spatial::addForceToParent(R, t, p, L.parent_->Za_.dataPtr());
  }

  // Acceleration pass, base to tip.
  for (int i = 0; i < noj_; ++i) {
    PrLink& L = *links_[i];
    const int s = L.motionIndex();
    float* A = L.A_.dataPtr();
    // a′ = X·A_parent
    spatial::motionToChild(L.R_.dataPtr(), L.local_.translation.dataPtr(), L.parentLink().A_.dataPtr(), A);
    const float* U = L.U_.dataPtr();
    const float v = dq[i];
    const float* friction = L.friction_.dataPtr();
    // x: everything that drives the joint except Coulomb and static friction.
    const float x = torques_[i] - friction[0] * v -
                    (U[0] * A[0] + U[1] * A[1] + U[2] * A[2] + U[3] * A[3] + U[4] * A[4] + U[5] * A[5]) -
                    L.uTerm_;
    const float f = accelerationFriction(v, x, friction[1], friction[2], L.dInv_, L.frictionStop_);
    const float qdd = (x + f) * L.dInv_;
    ddq[i] = qdd;
    L.jointAcceleration_.zero();
    L.jointAcceleration_[L.axis_] = qdd;
    // A = a′ + C + S·q̈
    const float* C = L.C_.dataPtr();
    for (int k = 0; k < 6; ++k) A[k] += C[k];
    A[s] += qdd;
  }
}
