// What the control laws remember between ticks: the mode that was last
// initialised, its start time and its targets. One instance for the plug-in;
// every entry point runs on the servo thread, one call at a time.
#pragma once

#include "plugin/DisturbanceObserver.h"
#include "plugin/IntegralTrim.h"
#include "plugin/JointTrajectory.h"
#include "plugin/OperationalTrajectory.h"
#include "plugin/TaskSpace.h"

inline constexpr double kServoPeriod = 0.002;  // s between ticks (500 Hz)

struct ControllerMemory {
  int mode = 1;          // control mode last initialised (1 = float)
  float startTime = 0;   // curTime when it was initialised (s)
  float qStart[6] = {};  // joint angles then (rad): hold and open targets
  TaskGoal poseStart;    // operational pose then: hold target
  TaskGoal goal;         // operational goal of the mode
  TaskGoal goalAsGiven;  // the same before any pull back into reach
  float qGoal[6] = {};   // joint goal of the mode (rad)
  JointTrajectory jointPath;
  OperationalTrajectory taskPath;
  double pathTime = 0;  // s along taskPath; runs slower than the clock where joints would exceed dqmax
  TaskLayout layout;
  IntegralTrim trim;             // final-approach integral of the goal-seeking modes
  DisturbanceObserver observer;  // friction and model-error compensation
  bool jointLeg = false;         // goto/track: on the joint path to the goal's arm configuration
  double legTime = 0;            // s along that path (jointPath); slowed to keep the tool within vmax, wmax
  bool refused = false;          // the mode's goal was refused: the arm holds qStart
  bool lineMissing = false;      // line mode without an enabled line: goto behaviour
  // Line mode: where along the line the goal lies, pulled back into reach, and
  // the line it was found for (found again when setline moves the line).
  bool lineGoalKnown = false;
  bool lineOutOfReach = false;  // no point of the line within reach: goto behaviour
  double lineGoalAlong = 0;     // m from the line's point closest to the origin
  PrVector3 lineClosest, lineDirection;
  bool badTorqueReported = false;
  double error[kMaxTask] = {};  // last error the mode acted on, for PrintDebug
  double nearestObstacle = 0;   // m, pfmove
};

ControllerMemory& controllerMemory();

// Records the start of a mode: its number, the time and the current pose.
void beginMode(ServoState& s, int mode);

// Whether the mode's law is model based and gets disturbance compensation
// (not nocontrol, float, open, the "n" modes, or the compliant proj2).
bool usesDisturbanceObserver(int mode);

// Seconds since the current mode began.
double modeTime(const ServoState& s);
