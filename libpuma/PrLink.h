// PrLink: one rigid link of a serial chain and the joint that moves it
// relative to its parent: its frames, inertial data and friction. The
// quantities of the dynamics passes live in the robot's PrJointTerms.
//
// Everything is expressed in the link's own frame unless stated. Spatial
// 6-vectors are linear first: (v, ω), (a, α), (f, n). The joint's motion axis
// is the unit spatial vector S with its 1 at index 3·type + axis.
#pragma once

#include <cstddef>

#include "matrix/PrMatrix3.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector3.h"
#include "matrix/PrVector6.h"
#include "utility/PrAssert.h"

class PrLink {
 public:
  static constexpr int kPrismatic = 0;
  static constexpr int kRevolute = 1;

  // jointAxis: 0 = x, 1 = y, 2 = z of the link frame. An unknown type is
  // reported and the link behaves as revolute.
  PrLink(int jointType, int jointAxis);
  PrLink(const PrLink&) = delete;
  PrLink& operator=(const PrLink&) = delete;

  // --- construction ---------------------------------------------------------
  // Modified Denavit–Hartenberg home frame: rotation α about x, translation a
  // along x, then the fixed part of θ (prismatic) or d (revolute) along z.
  void setDenavitHartenberg(float alpha, float a, float d, float theta);
  // Home frame given directly; the joint moves from there.
  void setHomeFrame(const PrTransform& home);
  void setParent(PrLink* parent) { parent_ = parent; }
  void setChild(PrLink* child) { child_ = child; }
  void setId(int id) { id_ = id; }
  // m (kg), centre of mass (m, link frame), principal inertias about the
  // centre of mass along the link axes (kg·m²).
  void setInertial(float mass, const PrVector3& com, const PrVector3& principalInertia);
  void setLimits(float qMin, float qMax) {
    qMin_ = qMin;
    qMax_ = qMax;
  }
  void setPoint(const PrVector3& point) { point_ = point; }

  // --- motion ----------------------------------------------------------------
  // Sets the joint variable (rad or m) and recomputes the local and global frames.
  void setJoint(float q);
  // Recomputes the global frame from the parent's and the local frame.
  void updateGlobalFrame();

  // --- accessors ---------------------------------------------------------------
  int jointType() const { return type_; }
  int jointAxis() const { return axis_; }
  int motionIndex() const { return 3 * type_ + axis_; }
  int id() const { return id_; }
  PrLink* parent() const { return parent_; }
  // The parent of a link that must have one (every joint link does).
  PrLink& parentLink() const {
    PR_ASSERT(parent_ != NULL);
    return *parent_;
  }
  PrLink* child() const { return child_; }
  const PrTransform& homeFrame() const { return home_; }
  const PrTransform& localFrame() const { return local_; }
  const PrTransform& globalFrame() const { return global_; }
  // The global rotation as a matrix (the link's axes in the base frame).
  const PrMatrix3& globalRotation() const { return globalR_; }
  const PrVector3& point() const { return point_; }
  // [0] viscous (N·m·s/rad), [1] Coulomb (N·m), [2] static (N·m) friction.
  PrVector3& friction() { return friction_; }
  const PrVector3& friction() const { return friction_; }
  const PrVector3& centerOfMass() const { return com_; }
  const PrVector3& principalInertia() const { return inertia_; }
  float mass() const { return mass_; }
  float jointMin() const { return qMin_; }
  float jointMax() const { return qMax_; }
  // The root's: the base's upward acceleration that stands for gravity, in
  // the root's frame.
  const PrVector6& acceleration() const { return A_; }
  // True when the last forward dynamics let friction stop or hold the joint
  // within one servo period.
  bool frictionStopped() const { return frictionStop_; }
  // The root carries gravity as the base's upward acceleration.
  void setAcceleration(const PrVector6& a) { A_ = a; }

 private:
  friend class PrRobot;

  int type_;
  int axis_;
  int id_ = 0;
  PrLink* parent_ = nullptr;
  PrLink* child_ = nullptr;
  PrTransform home_;
  PrTransform local_;
  PrTransform global_;
  PrVector3 point_;
  PrVector3 friction_;
  PrVector3 com_;
  PrVector3 inertia_;
  float comHome_ = 0.0f;  // centre of mass along the joint axis at home
  float mass_ = 0.0f;
  float tau_ = 0.0f;  // joint torque including the articulated pass's friction (N·m)
  float qMin_ = 0.0f;
  float qMax_ = 0.0f;

  PrVector6 A_;  // the root's acceleration (gravity)
  PrMatrix3 R_;  // local rotation at home (a prismatic joint slides along its column)
  PrMatrix3 homeR_;
  PrMatrix3 globalR_;
  float homeOffset_ = 0.0f;  // the fixed d (revolute) or θ (prismatic) of the description
  bool frictionStop_ = false;
};
