#include "GradedScenarios.h"

const std::vector<GradedScenario>& gradedScenarios() {
  static const std::vector<GradedScenario> all = [] {
    std::vector<GradedScenario> out = modeScenarios();
    return out;
  }();
  return all;
}
