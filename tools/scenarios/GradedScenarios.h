// The scenarios a grade runs, each with the bounds its figures must keep.
//
// Bounds are data beside the scenario: a figure of its ScenarioResult, at
// most or at least a limit. A figure that is bounded but not measured (NaN:
// say, a move that never settled) fails its bound. Bounds are set from what
// the reference plug-in achieves, with a margin for a different but sound law.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ScenarioFigures.h"
#include "Scenarios.h"

class ScenarioBench;

enum class BoundKind { kAtMost, kAtLeast };

// A figure of the result, named as in ScenarioResult, and its bound.
struct FigureBound {
  const char* name;
  ScenarioFigureField figure;
  BoundKind kind;
  double bound;
};

// Bounds on the figures listed in scenarioFigures(), named from there.
inline FigureBound atMost(ScenarioFigureField figure, double bound) {
  return {figureName(figure), figure, BoundKind::kAtMost, bound};
}
inline FigureBound atLeast(ScenarioFigureField figure, double bound) {
  return {figureName(figure), figure, BoundKind::kAtLeast, bound};
}

struct GradedScenario {
  std::string name;  // unique; a per-mode scenario is named after its mode's word
  std::function<ScenarioResult(ScenarioBench&)> run;
  std::vector<FigureBound> bounds;
};

// One scenario per control mode, in mode order (ModeScenarioBounds.cpp).
std::vector<GradedScenario> modeScenarios();

// Everything a grade runs, in order: the per-mode scenarios, then the rest.
const std::vector<GradedScenario>& gradedScenarios();
