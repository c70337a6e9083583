// PrJointTerms: one joint's quantities for the recursive dynamics passes,
// expressed in base coordinates about the base origin (Featherstone's
// "absolute coordinates"). In that frame a link hands its articulated inertia
// and forces to its parent by plain addition, with no 6×6 transform per link,
// which is what makes the passes cheap.
//
// Symbols as in Featherstone, Rigid Body Dynamics Algorithms (2008), ch. 7:
//   S  motion axis          V  velocity           c   velocity product Ṡ·q̇ = V ×ₘ S·q̇
//   p  bias force V ×f I·V  Ia articulated inertia pa  articulated bias force (passes only)
//   U  Ia·S                 D⁻¹ 1/(Sᵀ·U)          a   spatial acceleration
// Spatial vectors are linear first, as everywhere in the engine.
#pragma once

struct PrJointTerms {
  // --- from the joint positions (updateKinematics) ---------------------------------
  float S[6];   // (o × z, z) revolute, (z, 0) prismatic; z the axis, o the link origin (m)
  float mass;   // kg
  float h[3];   // first moment m·c, c the centre of mass (kg·m)
  float Io[9];  // rotational inertia about the base origin (kg·m²)
  // --- from the joint velocities -------------------------------------------------------
  float V[6];
  float c[6];
  float p[6];
  // --- forward dynamics ----------------------------------------------------------------
  float U[6];
  float dInv;
  float uTerm;  // Sᵀ·(Ia·c + pa)
  // --- both dynamics algorithms ---------------------------------------------------------
  float a[6];
  float f[6];  // inverse dynamics: force the joint transmits
};
