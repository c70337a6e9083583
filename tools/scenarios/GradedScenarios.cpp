#include "GradedScenarios.h"

#include "HardCases.h"

const std::vector<GradedScenario>& gradedScenarios() {
  static const std::vector<GradedScenario> all = [] {
    std::vector<GradedScenario> out = modeScenarios();
    for (GradedScenario& hard : hardCaseScenarios()) out.push_back(std::move(hard));
    return out;
  }();
  return all;
}
