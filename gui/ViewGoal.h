// ViewGoal: where the control law wants the arm, in the form the 3D view
// draws it. The joint modes aim at a configuration (drawn as a ghost arm),
// the operational modes at a tool frame (drawn as axes), the line mode at the
// point of its line nearest the goal (drawn as a marker on the line).
#pragma once

#include "matrix/PrTransform.h"
#include "matrix/PrVector.h"
#include "matrix/PrVector3.h"

class IRobotModel;
struct ScopeSample;
struct VirtualLine;

struct ViewGoal {
  enum Kind { kNone = 0, kJoints, kFrame, kLineFoot };
  Kind kind = kNone;
  PrVector qd;        // kJoints: the model's joints, degrees
  PrTransform frame;  // kFrame, kLineFoot: the goal tool frame, base frame
  PrVector3 foot;     // kLineFoot: the goal's foot point on the line

  // Apart by less than can be seen in the view (tolerances as the arm's).
  bool sameAs(const ViewGoal& other) const;
};

// The goal of the tick's control mode; kNone for modes without one, or when
// the tick was taken with another robot type than `model`'s.
ViewGoal goalOfTick(const ScopeSample& tick, const IRobotModel& model, const VirtualLine& line);
