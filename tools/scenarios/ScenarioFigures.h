// The measured figures of a ScenarioResult by name, for tables, JSON and the
// bounds a grade checks. A figure added to ScenarioResult is listed here too.
#pragma once

#include <vector>

#include "Scenarios.h"

using ScenarioFigureField = double ScenarioResult::*;

struct ScenarioFigure {
  const char* name;  // the field's name, as JSON keys and bounds show it
  const char* unit;  // "deg", "mm", "s", ... ("" for ratios)
  ScenarioFigureField field;
};

// Every figure, in the order of ScenarioResult.
const std::vector<ScenarioFigure>& scenarioFigures();
// The figure of a field; nullptr for a field not listed.
const ScenarioFigure* findFigure(ScenarioFigureField field);
// Its name ("?" for a field not listed) and unit ("" then).
const char* figureName(ScenarioFigureField field);
const char* figureUnit(ScenarioFigureField field);
