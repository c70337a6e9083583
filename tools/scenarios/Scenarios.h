// One measured scenario per control mode, run on a ScenarioBench with the
// default gains and friction on, and the table of their figures.
//
// Every scenario starts from the ready pose (kReadyPose), the arm put there at
// rest without the plug-in.
// Figures that do not apply to a mode are NaN and print as "-".
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class ScenarioBench;

// Arm forward and folded, tool pointing down: well away from every singularity.
inline constexpr float kReadyPose[6] = {0, -60, 160, 0, 60, 0};  // degrees

struct ScenarioResult {
  int mode = 0;
  std::string word;        // the mode's command word
  std::string setup;       // what the scenario asks for
  double seconds = 0;      // simulated time in the mode (s)
  double finalJointDeg;    // largest joint error at the end (deg); holds: after the kick
  double finalPositionMm;  // tool position error at the end (mm)
  double finalOrientationDeg;
  double settlingTime;      // s until the error stays within 0.2 deg / 1 mm
  double overshootPercent;  // of the move, along its direction
  double peakJointSpeed;    // largest |dq| / dqmax over the joints and the run
  double peakLinearSpeed;   // largest tool speed / vmax
  double trackingDeg;       // largest joint deviation from the reference (deg)
  double trackingMm;        // largest tool deviation from the reference (mm)
  double driftDeg;          // largest joint motion away from the start (deg)
  double driftMm;           // largest tool motion away from the start (mm)
  double obstacleMm;        // closest approach to an obstacle surface (mm)
  double lineMm;            // largest distance from the virtual line once within 0.5 mm of it (mm)
  double lateReversals;     // sign changes of any joint velocity in the last 2 s (count)
  double limitMarginDeg;    // closest approach of any joint to its limit (deg; < 0: crossed)
  std::string messages;     // text the servo side printed during the scenario
  ScenarioResult();
};

// Runs the scenarios of every mode, in mode order.
std::vector<ScenarioResult> runScenarios(ScenarioBench& bench);

// Runs the scenario of one mode (0 to 23).
ScenarioResult runScenario(ScenarioBench& bench, int mode);

void printScenarioTable(const std::vector<ScenarioResult>& results, std::FILE* out);
