// The hard cases: goals and disturbances where a control law that works on
// the easy moves of the per-mode scenarios can still fail. Friction on,
// default gains, as the per-mode scenarios; each with its bounds, graded by
// korvex-grade after the per-mode scenarios.
//
//   nhold-push, njhold-push, hold-push   a 20 N pull on the tool for 2 s, let go
//   goto-beyond-reach, track-beyond-reach a goal 0.9 m out from the ready pose
//   goto-wrist-singular                   from the ready pose with q5 = 0
//   jgoto-limit-band                      one joint's goal inside its limit band
//   xtrack-unnormalised, nxtrack-unnormalised, xtrack-axis-angle  goals
//                                         whose rotation is not of unit length
//   line-approach                         line mode started 21 cm off the line
#pragma once

#include <cstdio>
#include <vector>

#include "GradedScenarios.h"

std::vector<GradedScenario> hardCaseScenarios();

// The table korvex-scenarios prints: per case its bounded figures.
void printHardCaseTable(ScenarioBench& bench, std::FILE* out);
