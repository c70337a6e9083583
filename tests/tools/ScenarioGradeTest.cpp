// The verdict on a scenario: bounds at most and at least, a figure that was
// not measured, and the reasons that come before any bound.
#include <gtest/gtest.h>

#include <cmath>

#include "grade/ScenarioGrade.h"

namespace {

using R = ScenarioResult;

GradedScenario scenario() {
  return {"jgoto", {}, {atMost(&R::finalJointDeg, 0.2), atLeast(&R::obstacleMm, 0)}};
}

ChildOutcome finished(const ScenarioRun& run) {
  ChildOutcome child;
  child.kind = ChildOutcome::kFinished;
  child.result = encodeScenarioRun(run);
  return child;
}

TEST(ScenarioGrade, ChecksEveryBoundAndNamesTheFirstBrokenOne) {
  ScenarioRun run;
  run.result.finalJointDeg = 0.2;
  run.result.obstacleMm = 3;
  EXPECT_EQ(gradeScenario(scenario(), finished(run), 30).outcome, ScenarioGrade::kPass) << "limits included";

  run.result.finalJointDeg = 12.5;
  run.result.obstacleMm = -1;
  ScenarioGrade g = gradeScenario(scenario(), finished(run), 30);
  EXPECT_EQ(g.outcome, ScenarioGrade::kFail);
  EXPECT_EQ(g.reason, "finalJointDeg 12.500 deg, at most 0.2");
  EXPECT_EQ(g.brief, "FAIL finalJointDeg");
  ASSERT_EQ(g.checks.size(), 2u);
  EXPECT_FALSE(g.checks[1].passed);
  EXPECT_EQ(describeCheck(g.checks[1]), "obstacleMm -1.000 mm, at least 0");

  run.result.finalJointDeg = NAN;  // a move that never got there
  g = gradeScenario(scenario(), finished(run), 30);
  EXPECT_EQ(g.reason, "finalJointDeg not measured, at most 0.2");
}

TEST(ScenarioGrade, LoadErrorsCrashesHangsAndNonFiniteTorquesComeFirst) {
  ScenarioRun run;
  run.result.finalJointDeg = 0;
  run.result.obstacleMm = 1;
  run.refusedTicks = 40;
  ScenarioGrade g = gradeScenario(scenario(), finished(run), 30);
  EXPECT_EQ(g.outcome, ScenarioGrade::kFail);
  EXPECT_EQ(g.reason, "handed the servo non-finite torques on 40 ticks");

  run.loadError = "./x.dll: invalid ELF header";
  g = gradeScenario(scenario(), finished(run), 30);
  EXPECT_EQ(g.outcome, ScenarioGrade::kError);
  EXPECT_EQ(g.reason, "not loaded: ./x.dll: invalid ELF header");

  ChildOutcome crash;
  crash.kind = ChildOutcome::kCrashed;
  crash.signal = SIGSEGV;
  crash.output = "entering jgoto\n\n";
  g = gradeScenario(scenario(), crash, 30);
  EXPECT_EQ(g.outcome, ScenarioGrade::kCrash);
  EXPECT_EQ(g.reason, "crashed with SIGSEGV (Segmentation fault): \"entering jgoto\"");
  EXPECT_EQ(g.brief, "crash SIGSEGV");

  ChildOutcome hang;
  hang.kind = ChildOutcome::kTimedOut;
  g = gradeScenario(scenario(), hang, 2.5);
  EXPECT_EQ(g.outcome, ScenarioGrade::kTimeout);
  EXPECT_EQ(g.reason, "did not finish within the time limit of 2.5 s");

  ChildOutcome cut;
  cut.kind = ChildOutcome::kFinished;
  cut.result = encodeScenarioRun(run).substr(0, 20);
  EXPECT_EQ(gradeScenario(scenario(), cut, 30).outcome, ScenarioGrade::kError) << "a result cut short";
}

TEST(ScenarioGrade, RunRecordKeepsTextsAndUnmeasuredFigures) {
  ScenarioRun run;
  run.result.word = "line";
  run.result.messages = "no virtual line\\ here\nsecond line\n";
  run.result.lineMm = 0.25;
  run.missing = "lineControl";
  ScenarioRun back;
  ASSERT_TRUE(decodeScenarioRun(encodeScenarioRun(run), back));
  EXPECT_EQ(back.result.messages, run.result.messages);
  EXPECT_EQ(back.missing, "lineControl");
  EXPECT_FLOAT_EQ(float(back.result.lineMm), 0.25f);
  EXPECT_TRUE(std::isnan(back.result.finalJointDeg));
}

}  // namespace
