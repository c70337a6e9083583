// PrJointState: positions (rad or m), velocities and accelerations of all
// joints of a chain, in one block: all positions, then all velocities, then
// all accelerations.
#pragma once

#include <memory>

class PrJointState {
 public:
  explicit PrJointState(int numJoints);  // all zero
  PrJointState(const PrJointState& state);
  // Sizes must match: "noj_ == state.noj_ && nos_ == state.nos_".
  PrJointState& operator=(const PrJointState& state);

  int numJoints() const { return noj_; }
  float* positions() { return data_.get(); }
  float* velocities() { return data_.get() + noj_; }
  float* accelerations() { return data_.get() + 2 * noj_; }
  const float* positions() const { return data_.get(); }
  const float* velocities() const { return data_.get() + noj_; }
  const float* accelerations() const { return data_.get() + 2 * noj_; }
  // True when every position, velocity and acceleration is a finite number.
  bool isFinite() const;

 private:
  int nos_ = 3;  // kinds of state: position, velocity, acceleration
  int noj_;
  std::unique_ptr<float[]> data_;
};
