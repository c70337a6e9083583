// PrRobot: a serial chain of one-axis joints read from a description file,
// with forward kinematics, recursive Newton–Euler inverse dynamics, the
// articulated-body algorithm for forward dynamics, and point Jacobians.
//
// Joint quantities are rad, rad/s, rad/s² and N·m (m, m/s, N for a prismatic
// joint). Link frames and Jacobians are in the base frame. The recursive
// passes run in base coordinates (PrJointTerms); everything they use is sized
// when the robot is built, so no call allocates. Not thread-safe.
//
// The link frames and the base-coordinate inertias are kept for the joint
// positions they were computed at: a dynamics call at the same positions (the
// next step of the simulated arm, say) does not compute them again. Link
// frames and inertial data are fixed once the robot is built.
#pragma once

#include <memory>
#include <vector>

#include "libpuma/PrJointState.h"
#include "libpuma/PrJointTerms.h"
#include "libpuma/PrLink.h"
#include "libpuma/PrRobotDescription.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector3.h"

class PrRobot {
 public:
  // Reads `path` (format B when format == 1, else format A) for n joints.
  // A file that cannot be used is reported in one line and leaves the robot
  // without links: check valid() before anything else.
  PrRobot(int n, const char* path, int flag, int format);
  // Builds from a description already read.
  PrRobot(const PrRobotDescription& description, int flag = 0);
  ~PrRobot();
  PrRobot(const PrRobot&) = delete;
  PrRobot& operator=(const PrRobot&) = delete;

  bool valid() const { return !links_.empty(); }
  int numJoints() const { return noj_; }
  int flag() const { return flag_; }

  // --- state, read and written in place ------------------------------------------
  float* positions() { return state_.positions(); }
  float* velocities() { return state_.velocities(); }
  float* accelerations() { return state_.accelerations(); }
  float* torques() { return torques_.get(); }
  PrJointState& state() { return state_; }
  const PrJointState& state() const { return state_; }

  // --- algorithms --------------------------------------------------------------
  // Frames of every link from the joint positions.
  void updateKinematics();
  // updateKinematics unless the frames are already those of the positions.
  void ensureKinematics();
  // Torques (into torques()) that produce the accelerations at the current
  // positions and velocities, with gravity and friction.
  void inverseDynamics();
  // Accelerations (into accelerations()) caused by torques() at the current
  // positions and velocities, with gravity and friction.
  void forwardDynamics();
  // Jacobian (rows × n, "0 < rows && rows <= 6", else 6 is used) of the world
  // point p (m) rigidly attached to link k: linear rows first, then angular.
  // Columns after k are left as they are (pass a zeroed J).
  void pointJacobian(int k, const PrVector3& p, PrMatrix& J, int rows = 6) const;
  // Joint-space mass matrix at the current positions (composite rigid bodies),
  // n × n row-major into M.
  void massMatrix(float* M);
  // Joint torques that hold the arm against gravity at the current positions (n).
  void gravityTorques(float* g);

  // --- links -------------------------------------------------------------------
  PrLink* link(int i) const { return links_[i]; }  // joint links 0..n−1
  PrLink* endEffector() const { return endEffector_; }
  PrLink* root() const { return root_.get(); }
  // The end-effector records (their local frames and masses; their global
  // frames are those of the robot as built).
  PrLink* toolRecord() const { return tool_; }
  PrLink* gripperRecord() const { return gripper_; }
  // The base's upward acceleration that stands for gravity (m/s², base frame),
  // e.g. (0, 0, 9.81) for gravity along −z.
  const PrVector3& gravity() const { return gravity_; }

 private:
  void build(const PrRobotDescription& description);
  void updateEndEffectorFrames();
  // S, m, h and Io of every joint from the link frames.
  void updateBaseTerms();
  // V, c and p of every joint from the velocities, base to tip.
  void velocityPass();

  int noj_ = 0;
  int flag_ = 0;
  std::unique_ptr<PrLink> root_;
  std::vector<std::unique_ptr<PrLink>> owned_;
  std::vector<PrLink*> links_;  // n joint links, then the end-effector records
  PrLink* endEffector_ = nullptr;
  PrLink* tool_ = nullptr;     // record 999
  PrLink* gripper_ = nullptr;  // record 888
  PrVector3 gravity_;
  std::unique_ptr<float[]> torques_;
  PrJointState state_;
  std::vector<PrJointTerms> terms_;        // one per joint
  std::unique_ptr<float[]> kinematicsAt_;  // positions the frames are for
  bool kinematicsValid_ = false;
  float baseAcceleration_[6] = {};  // gravity as the base's upward acceleration
};
