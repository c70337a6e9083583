// One scenario of one plug-in as the child process runs it, and the record
// of it that travels back to the grader through a pipe.
#pragma once

#include <string>

#include "scenarios/Scenarios.h"

struct GradedScenario;

struct ScenarioRun {
  std::string loadError;       // why the plug-in was not loaded; empty when it was
  std::string missing;         // entry points it does not export, comma separated
  bool tagged = false;         // it exports a layout tag
  long long refusedTicks = 0;  // ticks whose torques the servo refused as not finite
  ScenarioResult result;
};

// In the child: limits its memory, loads the plug-in, builds the servo and
// the arm and runs the scenario. Crashes and hangs of the plug-in are the
// caller's to contain.
ScenarioRun runGradedScenario(const std::string& pluginPath, const GradedScenario& scenario);

// The record as text lines and back; false when the text is not a whole record.
std::string encodeScenarioRun(const ScenarioRun& run);
bool decodeScenarioRun(const std::string& text, ScenarioRun& run);
