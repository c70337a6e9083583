// The command line of korvex-grade.
#pragma once

#include <string>
#include <vector>

struct GradeOptions {
  std::vector<std::string> plugins;    // in the order given; ./control.dll when none is
  std::string jsonPath;                // empty: no JSON file
  int jobs = 1;                        // scenarios graded at once
  double timeLimit = 30;               // wall seconds per scenario
  std::vector<std::string> scenarios;  // empty: every scenario
  bool list = false;                   // print the scenarios and their bounds instead
};

extern const char* const kGradeUsage;

// Parses the arguments after the program name. False on bad usage, with the
// reason in error; defaults: jobs = the number of processors.
bool parseGradeOptions(int argc, const char* const* argv, GradeOptions& options, std::string& error);
