// The per-mode scenarios (Scenarios.cpp) and their bounds. Each limit sits
// above (or below) what the reference plug-in measures, with room for a
// different sound law; each stubbed mode of the kit's template (tau = G
// everywhere) breaks at least one of them.
#include "GradedScenarios.h"
#include "protocol/ControlModeTable.h"

namespace {

using R = ScenarioResult;

struct ModeBounds {
  int mode;
  std::vector<FigureBound> bounds;
};

const std::vector<ModeBounds>& modeBounds() {
  static const std::vector<ModeBounds> table = {
      // No torque: the arm must fall.
      {kNoControl, {atLeast(&R::driftDeg, 5)}},
      {kFloat, {atMost(&R::driftDeg, 0.5), atMost(&R::driftMm, 1)}},
      // The holds: still for seconds, then back where they started after a kick.
      {kNjhold, {atMost(&R::driftDeg, 0.5), atMost(&R::finalJointDeg, 0.5)}},
      {kJhold, {atMost(&R::driftDeg, 0.2), atMost(&R::finalJointDeg, 0.5)}},
      {kNhold, {atMost(&R::driftMm, 1), atMost(&R::finalPositionMm, 5), atMost(&R::finalOrientationDeg, 1)}},
      {kHold, {atMost(&R::driftMm, 1), atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5)}},
      // Feed-forward only: the arm swings, roughly along the reference.
      {kOpen, {atMost(&R::trackingDeg, 40), atLeast(&R::peakJointSpeed, 0.1)}},
      {kNjmove, {atMost(&R::finalJointDeg, 0.5), atMost(&R::overshootPercent, 25)}},
      {kJmove,
       {atMost(&R::finalJointDeg, 0.2), atMost(&R::settlingTime, 1.5), atMost(&R::overshootPercent, 5)}},
      {kNjgoto,
       {atMost(&R::finalJointDeg, 0.3), atMost(&R::settlingTime, 5), atMost(&R::peakJointSpeed, 1.05)}},
      {kJgoto,
       {atMost(&R::finalJointDeg, 0.2), atMost(&R::settlingTime, 3), atMost(&R::overshootPercent, 5),
        atMost(&R::peakJointSpeed, 1.05)}},
      {kNjtrack,
       {atMost(&R::finalJointDeg, 0.3), atMost(&R::trackingDeg, 3), atMost(&R::peakJointSpeed, 1.05)}},
      {kJtrack,
       {atMost(&R::finalJointDeg, 0.2), atMost(&R::settlingTime, 3), atMost(&R::trackingDeg, 0.5),
        atMost(&R::peakJointSpeed, 1.05)}},
      {kNxtrack, {atMost(&R::finalPositionMm, 2), atMost(&R::finalOrientationDeg, 0.5)}},
      {kXtrack,
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5), atMost(&R::settlingTime, 3)}},
      // Without the model the "n" moves still arrive, less precisely.
      {kNgoto,
       {atMost(&R::finalPositionMm, 5), atMost(&R::finalOrientationDeg, 1),
        atMost(&R::peakLinearSpeed, 1.05)}},
      {kGoto,
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5), atMost(&R::settlingTime, 2),
        atMost(&R::peakLinearSpeed, 1.05)}},
      {kNtrack,
       {atMost(&R::finalPositionMm, 5), atMost(&R::finalOrientationDeg, 1),
        atMost(&R::peakLinearSpeed, 1.1)}},
      {kTrack,
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5), atMost(&R::trackingMm, 2),
        atMost(&R::peakLinearSpeed, 1.05)}},
      {kPfmove, {atLeast(&R::obstacleMm, 0), atMost(&R::finalPositionMm, 1)}},
      {kLine, {atMost(&R::lineMm, 2), atMost(&R::finalPositionMm, 1)}},
      {kProj1, {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5)}},
      // Compliant: pushed further by the kick, it still comes back.
      {kProj2, {atMost(&R::driftMm, 1), atMost(&R::finalPositionMm, 25), atMost(&R::finalOrientationDeg, 4)}},
      {kProj3, {atMost(&R::trackingMm, 2), atMost(&R::finalOrientationDeg, 0.5)}},
  };
  return table;
}

}  // namespace

std::vector<GradedScenario> modeScenarios() {
  std::vector<GradedScenario> out;
  for (const ModeBounds& entry : modeBounds()) {
    const int mode = entry.mode;
    out.push_back({controlModeWord(mode), [mode](ScenarioBench& bench) { return runScenario(bench, mode); },
                   entry.bounds});
  }
  return out;
}
