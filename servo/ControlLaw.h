// ControlLaw: a control law the host supplies in place of the plug-in's tick
// function for one mode (the Python module's laws, for example).
//
// The servo calls tick() on its thread at the point where it would call the
// plug-in's function for that mode: after PreprocessControl, with kp and kv
// refreshed, before PostprocessControl. A law that cannot give torques this
// tick returns false; the servo then stops using it (the mode's slot falls
// back to the plug-in), lets the plug-in's float law give this tick's torques
// and counts the stop (Servo::stoppedLawCount), so that its owner can put the
// arm into float.
#pragma once

struct ServoState;

class ControlLaw {
 public:
  virtual ~ControlLaw() = default;
  // Writes the joint torques (dof, N·m) into state.tau; false when it could not.
  virtual bool tick(ServoState& state) = 0;
};
