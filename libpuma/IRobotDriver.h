// IRobotDriver: what the servo needs from any arm, simulated or real.
//
// Joint vectors are in radians (rad/s, N·m); points and frames are in metres in
// the base (world) frame unless the argument says otherwise. Link indices count
// the moving links from 0 (the link driven by joint 1). The defaults below suit
// an arm without force sensing, gripper or contact simulation.
#pragma once

class PrVector;
class PrMatrix;
class PrVector3;
class PrTransform;

class IRobotDriver {
 public:
  virtual ~IRobotDriver() = default;

  // Sensed joint positions (rad) and velocities (rad/s); resized to the arm's DOF.
  virtual void getJointPositions(PrVector& q) = 0;
  virtual void getJointVelocities(PrVector& dq) = 0;
  // Joint torques (N·m) applied from the next step on; size DOF.
  virtual void setTorques(const PrVector& tau) = 0;
  // Advances the arm by one servo period at `speed` times real time.
  // Returns 1 when a step was taken, 0 when the caller should try again later.
  virtual int step(float speed) = 0;

  // Sensed wrist forces (6 elements); zero without a force sensor.
  virtual void getForces(PrVector& f);
  virtual void setGripper(int value);
  virtual void reset();
  virtual void setFriction(bool on);
  // Fixes the point of `link` that coincides with `worldPoint` (base frame, m)
  // when the joints are at `jointPos` (rad, size DOF) as the spring's contact point.
  virtual void setContactPoint(int link, const PrVector3& worldPoint, const PrVector& jointPos);
  // Pulls the contact point towards `target` (base frame, m) with stiffness k (N/m).
  virtual void applyContactForce(float k, const PrVector3& target);
  virtual void removeContactForce();
  // Linear Jacobian (3 × DOF) of the stored contact point.
  virtual void getContactJacobian(PrMatrix& J);
  // Linear Jacobian (3 × DOF) of `point`, given in the frame of `link`.
  virtual void getPointJacobian(int link, const PrVector3& point, PrMatrix& J);
  // Global frame of `link`; false (frame untouched) when there is no such link.
  virtual bool getLinkFrame(int link, PrTransform& frame);
};
