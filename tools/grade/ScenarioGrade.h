// The verdict on one scenario of one plug-in: what the child process came
// back with, checked against the scenario's bounds.
#pragma once

#include <string>
#include <vector>

#include "ChildPool.h"
#include "ScenarioRun.h"
#include "scenarios/GradedScenarios.h"

struct BoundCheck {
  FigureBound bound;
  double value;  // NaN when not measured
  bool passed;
};

struct ScenarioGrade {
  enum Outcome { kPass, kFail, kCrash, kTimeout, kError };
  Outcome outcome = kError;
  std::string reason;  // why it did not pass; empty when it did
  std::string brief;   // the same in a few words, for a table cell
  std::vector<BoundCheck> checks;
  ScenarioRun run;
  double wallSeconds = 0;
};

// "pass", "fail", "crash", "timeout" or "error".
const char* outcomeName(ScenarioGrade::Outcome outcome);

// The verdict: a plug-in that did not load, crashed, ran out of time or
// handed the servo non-finite torques fails with that reason; otherwise every
// bound is checked and the first broken one gives the reason.
ScenarioGrade gradeScenario(const GradedScenario& scenario, const ChildOutcome& child, double timeLimit);

// "finalJointDeg 45.000 deg, at most 0.2" (or "... not measured, ...").
std::string describeCheck(const BoundCheck& check);
