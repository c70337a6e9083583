// StateView: the Python face of the servo's state record (korvex.State).
//
// A snapshot (sim.state) owns a copy of the record taken between ticks. A law
// gets a live view of the servo's own record, which may be read only while
// the law's call runs: afterwards the record is the servo's again (and may be
// changing on its thread), so reading a kept view raises instead.
//
// Every field reads as a fresh numpy array (float64; matrices rows x columns,
// T and Td as 4 x 4 homogeneous transforms) or a Python number, in the
// record's units: radians, metres, seconds, N·m.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>

#include "servo/ServoState.h"

class StateView {
 public:
  static StateView snapshot(const ServoState& state);
  // usable: true exactly while the law's call runs.
  static StateView live(const ServoState* state, std::shared_ptr<const bool> usable);

  // The record; throws (RuntimeError in Python) for a live view outside its call.
  const ServoState& record() const;

 private:
  std::shared_ptr<const ServoState> m_state;
  std::shared_ptr<const bool> m_usable;  // none for a snapshot
};

// Registers korvex.State.
void bindStateView(pybind11::module_& m);
