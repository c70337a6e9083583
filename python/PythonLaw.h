// PythonLaw: a control law written in Python, run by the servo every tick of
// its mode in place of the plug-in's function (see servo/ControlLaw.h).
//
// The servo ticks without the interpreter lock; the law takes it only for
// the call of fn(state) and the reading of its result. fn gets a live
// korvex.State and returns the dof joint torques (N·m) as anything numpy
// turns into a one-dimensional array of numbers. A law that raises, returns
// another shape or returns a non-finite torque is stopped: the traceback or
// the reason goes to Python's sys.stderr, tick() returns false and the servo
// gives the arm the plug-in's float torques (the owner then selects float).
//
// Create and destroy it with the interpreter lock held.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "servo/ControlLaw.h"

class PythonLaw final : public ControlLaw {
 public:
  PythonLaw(int mode, pybind11::object fn, const ServoState* record);
  ~PythonLaw() override;

  bool tick(ServoState& state) override;

 private:
  // Prints why the law stops, on sys.stderr. Holds the interpreter lock.
  void reportStop(const std::string& reason) const;

  int m_mode;
  pybind11::object m_fn;
  std::shared_ptr<bool> m_inCall;
  pybind11::object m_view;  // the live korvex.State handed to every call
};
