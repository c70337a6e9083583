// Geometric and inertial constants of the closed-form PUMA 560 model.
//
// Lengths in m, masses in kg, inertias in kg·m². The four derived constants are
// evaluated in single precision, as the rest of the model's data.
#pragma once

namespace puma {

inline constexpr float kA2 = 0.4115f;              // upper-arm length
inline constexpr float kA3 = -0.0203f;             // elbow offset
inline constexpr float kD4 = 0.4331f;              // forearm length to the wrist centre
inline constexpr float kShoulderOffset = 0.1501f;  // lateral offset of the upper arm
inline constexpr float kElbowOffset = -0.0934f;    // lateral offset of the forearm
// The Jacobian places the arm at the sum of both offsets; the mass matrix uses
// the shoulder offset alone.
inline constexpr float kLateralOffset = kShoulderOffset + kElbowOffset;

inline constexpr float kLink6Mass = 0.09f;
inline constexpr float kGripperMass = 0.2f;
inline constexpr float kLink6Com = 0.032f;            // beyond the wrist centre, along axis 6
inline constexpr float kGripperCom = 0.055f + 0.05f;  // beyond the wrist centre, along axis 6
inline constexpr float kLink6Inertia = 0.19304f;
inline constexpr float kGripperInertia = 0.02f;

// Distance of the operational point from the wrist centre along the last axis.
inline constexpr float kToolLength = 0.055f + 0.105f;
// Link 6 and the gripper taken as one body: its mass, centre of mass along
// axis 6 beyond the wrist centre, and inertia about axis 6.
inline constexpr float kLastBodyMass = kLink6Mass + kGripperMass;
inline constexpr float kLastBodyCom = (kLink6Mass * kLink6Com + kGripperMass * kGripperCom) / kLastBodyMass;
inline constexpr float kLastBodyInertia =
    kLink6Inertia + kGripperInertia + kLink6Mass * (kLink6Com - kLastBodyCom) * (kLink6Com - kLastBodyCom) +
    kGripperMass * (kGripperCom - kLastBodyCom) * (kGripperCom - kLastBodyCom);

}  // namespace puma
