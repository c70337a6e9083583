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

struct FigureBound {
  ScenarioFigureField figure;
  BoundKind kind;
  double limit;
};

inline FigureBound atMost(ScenarioFigureField figure, double limit) {
  return {figure, BoundKind::kAtMost, limit};
}
inline FigureBound atLeast(ScenarioFigureField figure, double limit) {
  return {figure, BoundKind::kAtLeast, limit};
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
