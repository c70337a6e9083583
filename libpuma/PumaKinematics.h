// Closed-form kinematics of the PUMA 560: the operational point, its Jacobian
// and the Jacobian's time derivative.
//
// Joint angles q are radians (size 6; θ6 does not enter). The operational point
// lies kToolLength beyond the wrist centre along the last axis and is expressed
// in the base frame with its origin at the shoulder height (the simulated arm's
// base frame adds a constant height).
#pragma once

class PrVector;
class PrMatrix;

namespace puma {

// p (resized to 3, m) of the operational point.
void operationalPoint(const PrVector& q, PrVector& p);

// J (resized to 6 × 6): rows 0-2 ∂p/∂θk (m/rad), rows 3-5 the joint axes in the
// base frame (angular velocity per unit joint rate). dJ (6 × 6) = Σk ∂J/∂θk dq[k],
// the time derivative of J along the joint velocity dq (rad/s, size 6).
void jacobianAndRate(const PrVector& q, const PrVector& dq, PrMatrix& J, PrMatrix& dJ);

// RobotSingularity bits of the configuration q (rad, size 6) for the threshold
// eps (rad): shoulder when the wrist centre is within eps of axis 1 (in the
// units of the reach), elbow when the arm is within eps of stretched, wrist
// when θ5 is within eps of 0.
int singularFlags(const PrVector& q, float eps);

}  // namespace puma
