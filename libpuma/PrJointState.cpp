#include "libpuma/PrJointState.h"

#include <algorithm>
#include <cmath>

#include "utility/PrAssert.h"
#include "utility/allFinite.h"

PrJointState::PrJointState(int numJoints) : noj_(numJoints), data_(new float[3 * numJoints]()) {
  PR_ASSERT(numJoints >= 0);
}

PrJointState::PrJointState(const PrJointState& state)
    : nos_(state.nos_), noj_(state.noj_), data_(new float[state.nos_ * state.noj_]) {
  std::copy_n(state.data_.get(), nos_ * noj_, data_.get());
}

PrJointState& PrJointState::operator=(const PrJointState& state) {
  PR_ASSERT(noj_ == state.noj_ && nos_ == state.nos_);
  if (this != &state) std::copy_n(state.data_.get(), nos_ * noj_, data_.get());
  return *this;
}

bool PrJointState::isFinite() const { return allFinite(data_.get(), nos_ * noj_); }
