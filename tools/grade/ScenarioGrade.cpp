#include "ScenarioGrade.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The last line the child printed that says something, quoted; or nothing.
std::string lastWords(const std::string& output) {
  const size_t end = output.find_last_not_of(" \t\r\n");
  if (end == std::string::npos) return "";
  const size_t newline = output.rfind('\n', end);
  const size_t begin = newline == std::string::npos ? 0 : newline + 1;
  return ": \"" + output.substr(begin, end + 1 - begin) + "\"";
}

std::string signalAbbreviation(int signal) {
  const char* abbreviation = sigabbrev_np(signal);
  return abbreviation ? std::string("SIG") + abbreviation : "signal " + std::to_string(signal);
}

std::string number(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

const char* outcomeName(ScenarioGrade::Outcome outcome) {
  switch (outcome) {
    case ScenarioGrade::kPass:
      return "pass";
    case ScenarioGrade::kFail:
      return "fail";
    case ScenarioGrade::kCrash:
      return "crash";
    case ScenarioGrade::kTimeout:
      return "timeout";
    case ScenarioGrade::kError:
      break;
  }
  return "error";
}

std::string describeCheck(const BoundCheck& check) {
  const char* unit = figureUnit(check.bound.figure);
  std::string text = check.bound.name;
  text += std::isnan(check.value) ? " not measured"
                                  : " " + number("%.3f", check.value) + (*unit ? " " : "") + unit;
  return text + (check.bound.kind == BoundKind::kAtMost ? ", at most " : ", at least ") +
         number("%g", check.bound.bound);
}

ScenarioGrade gradeScenario(const GradedScenario& scenario, const ChildOutcome& child, double timeLimit) {
  ScenarioGrade grade;
  grade.wallSeconds = child.wallSeconds;
  switch (child.kind) {
    case ChildOutcome::kCrashed:
      grade.outcome = ScenarioGrade::kCrash;
      grade.reason = "crashed with " + signalAbbreviation(child.signal) + " (" + strsignal(child.signal) +
                     ")" + lastWords(child.output);
      grade.brief = "crash " + signalAbbreviation(child.signal);
      return grade;
    case ChildOutcome::kTimedOut:
      grade.outcome = ScenarioGrade::kTimeout;
      grade.reason = "did not finish within the time limit of " + number("%g", timeLimit) + " s";
      grade.brief = "timeout";
      return grade;
    case ChildOutcome::kNoResult:
      grade.outcome = ScenarioGrade::kCrash;
      grade.reason = "ended without a result (exit status " + std::to_string(child.exitStatus) + ")" +
                     lastWords(child.output);
      grade.brief = "crash exit " + std::to_string(child.exitStatus);
      return grade;
    case ChildOutcome::kFinished:
      break;
  }
  if (!decodeScenarioRun(child.result, grade.run)) {
    grade.reason = "the scenario's result was garbled";
    grade.brief = "error";
    return grade;
  }
  if (!grade.run.loadError.empty()) {
    grade.reason = "not loaded: " + grade.run.loadError;
    grade.brief = "not loaded";
    return grade;
  }
  for (const FigureBound& bound : scenario.bounds) {
    const double value = grade.run.result.*bound.figure;
    const bool passed = !std::isnan(value) &&
                        (bound.kind == BoundKind::kAtMost ? value <= bound.bound : value >= bound.bound);
    grade.checks.push_back({bound, value, passed});
  }
  grade.outcome = ScenarioGrade::kFail;
  if (grade.run.refusedTicks > 0) {
    grade.reason =
        "handed the servo non-finite torques on " + std::to_string(grade.run.refusedTicks) + " ticks";
    grade.brief = "NaN torques";
    return grade;
  }
  for (const BoundCheck& check : grade.checks) {
    if (check.passed) continue;
    grade.reason = describeCheck(check);
    grade.brief = std::string("FAIL ") + check.bound.name;
    return grade;
  }
  grade.outcome = ScenarioGrade::kPass;
  grade.brief = "pass";
  return grade;
}
