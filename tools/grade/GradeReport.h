// The grades of every plug-in: a table for people and the same as JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "ScenarioGrade.h"

struct PluginGrades {
  std::string path;
  std::vector<ScenarioGrade> grades;  // one per scenario, in the scenarios' order

  int passed() const;
  bool allPassed() const { return passed() == int(grades.size()); }
  // What a scenario that loaded the plug-in found about it; nullptr when none did.
  const ScenarioRun* loadedRun() const;
  // "no layout tag ..." and "does not export ..." lines, each ending in a line feed.
  std::string notes() const;
};

// Scenarios down, plug-ins across: "pass" or what failed in a few words,
// then a line per failure with its reason.
void printGradeTable(const std::vector<const GradedScenario*>& scenarios,
                     const std::vector<PluginGrades>& plugins, std::FILE* out);

// The same as one JSON document; false with the reason when the file cannot be written.
bool writeGradeJson(const std::string& path, const std::vector<const GradedScenario*>& scenarios,
                    const std::vector<PluginGrades>& plugins, double timeLimit, std::string& error);

// The scenarios with their bounds, one line each.
void printScenarioBounds(const std::vector<GradedScenario>& scenarios, std::FILE* out);
