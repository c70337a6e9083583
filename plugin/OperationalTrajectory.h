// A straight-line operational move: the position travels the segment from the
// start to the goal while the orientation turns about one fixed axis (slerp),
// both on one quintic time scaling. The duration is the shortest that keeps
// the linear speed within vmax and acceleration within amax, and the angular
// speed within wmax and angular acceleration within wmax * amax / vmax (the
// linear limits' time to full speed).
#pragma once

#include "plugin/TaskSpace.h"

struct TaskReference {
  TaskGoal pose;                       // reference frame (six joints) or configuration
  double velocity[kMaxTask] = {};      // r entries, base frame
  double acceleration[kMaxTask] = {};  // r entries
};

class OperationalTrajectory {
 public:
  void plan(const TaskLayout& layout, const TaskGoal& start, const TaskGoal& goal, double vmax, double amax,
            double wmax);
  void sample(double t, TaskReference& out) const;
  double duration() const { return m_duration; }

 private:
  TaskLayout m_layout;
  TaskGoal m_start;
  TaskGoal m_goal;
  double m_duration = 0;
  double m_axis[3] = {1, 0, 0};  // rotation axis (base frame) of the slerp
  double m_angle = 0;            // total rotation (rad)
};
