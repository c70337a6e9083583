// Turning an operational command into joint torques.
#pragma once

#include "servo/ServoState.h"

// Dynamically decoupled: tau = J^T (Lambda F* + mu + p), F* an acceleration
// command (r entries, m/s^2 and rad/s^2). Near a singularity (the record's
// singular flags, where the servo leaves Lambda, mu and p zero) Lambda is
// replaced by the damped (J A^-1 J^T + lambda^2 I)^-1 and gravity and Coriolis
// are compensated in joint space, so the arm slows down in the direction it
// cannot move instead of demanding unbounded torques.
void decoupledTorque(ServoState& s, const double* commandAcceleration);

// Without decoupling (the "n" modes): tau = J^T F + G, F a force (r entries).
void gravityCompensatedTorque(ServoState& s, const double* force);

// Joint-space counterparts: tau = A qdd* + B + G and tau = t + G.
void decoupledJointTorque(ServoState& s, const double* commandAcceleration);
void gravityCompensatedJointTorque(ServoState& s, const double* torque);

// Operational inertia used by decoupledTorque: the record's Lambda, or the
// damped one near a singularity (r x r, row-major, into out).
void effectiveLambda(const ServoState& s, double* out);
