#include "ScenarioFigures.h"

const std::vector<ScenarioFigure>& scenarioFigures() {
  static const std::vector<ScenarioFigure> figures = {
      {"seconds", "s", &ScenarioResult::seconds},
      {"finalJointDeg", "deg", &ScenarioResult::finalJointDeg},
      {"finalPositionMm", "mm", &ScenarioResult::finalPositionMm},
      {"finalOrientationDeg", "deg", &ScenarioResult::finalOrientationDeg},
      {"settlingTime", "s", &ScenarioResult::settlingTime},
      {"overshootPercent", "%", &ScenarioResult::overshootPercent},
      {"peakJointSpeed", "of dqmax", &ScenarioResult::peakJointSpeed},
      {"peakLinearSpeed", "of vmax", &ScenarioResult::peakLinearSpeed},
      {"trackingDeg", "deg", &ScenarioResult::trackingDeg},
      {"trackingMm", "mm", &ScenarioResult::trackingMm},
      {"driftDeg", "deg", &ScenarioResult::driftDeg},
      {"driftMm", "mm", &ScenarioResult::driftMm},
      {"obstacleMm", "mm", &ScenarioResult::obstacleMm},
      {"lineMm", "mm", &ScenarioResult::lineMm},
      {"lateReversals", "", &ScenarioResult::lateReversals},
      {"limitMarginDeg", "deg", &ScenarioResult::limitMarginDeg},
  };
  return figures;
}

const ScenarioFigure* findFigure(ScenarioFigureField field) {
  for (const ScenarioFigure& figure : scenarioFigures())
    if (figure.field == field) return &figure;
  return nullptr;
}

const char* figureName(ScenarioFigureField field) {
  const ScenarioFigure* figure = findFigure(field);
  return figure ? figure->name : "?";
}

const char* figureUnit(ScenarioFigureField field) {
  const ScenarioFigure* figure = findFigure(field);
  return figure ? figure->unit : "";
}
