// The reference plug-in in the hard cases, each held to the bounds that
// korvex-grade checks (tools/scenarios/HardCases.cpp), on the real servo and
// the stepped simulated arm.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "scenarios/GradedScenarios.h"
#include "scenarios/HardCases.h"
#include "scenarios/ScenarioBench.h"

namespace {

class HardCases : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { bench_ = std::make_unique<ScenarioBench>("./control.dll"); }
  static void TearDownTestSuite() { bench_.reset(); }

  // Runs the case and checks every bound the grade checks.
  void expectWithinBounds(const char* name) {
    ASSERT_TRUE(bench_->ready() && bench_->pluginLoaded());
    for (const GradedScenario& scenario : hardCaseScenarios()) {
      if (scenario.name != name) continue;
      const ScenarioResult r = scenario.run(*bench_);
      for (const FigureBound& b : scenario.bounds) {
        const double value = r.*b.figure;
        if (b.kind == BoundKind::kAtMost)
          EXPECT_LE(value, b.bound) << name << ": " << b.name;
        else
          EXPECT_GE(value, b.bound) << name << ": " << b.name;
      }
      EXPECT_EQ(bench_->refusedTorqueTicks(), 0) << name;
      return;
    }
    FAIL() << "no hard case " << name;
  }

  static std::unique_ptr<ScenarioBench> bench_;
};

std::unique_ptr<ScenarioBench> HardCases::bench_;

TEST_F(HardCases, NholdComesBackWithinTwoMillimetresAfterAPull) { expectWithinBounds("nhold-push"); }
TEST_F(HardCases, NjholdComesBackWithinTwoMillimetresAfterAPull) { expectWithinBounds("njhold-push"); }
TEST_F(HardCases, HoldComesBackWithinAMillimetreAfterAPull) { expectWithinBounds("hold-push"); }
TEST_F(HardCases, GotoBeyondReachStretchesAndStaysStillWithinDqmax) {
  expectWithinBounds("goto-beyond-reach");
}
TEST_F(HardCases, TrackBeyondReachStretchesAndStaysStillWithinDqmax) {
  expectWithinBounds("track-beyond-reach");
}
TEST_F(HardCases, GotoBeyondReachFromTheStretchedStartUpPoseComesInAndTurnsTheToolDown) {
  expectWithinBounds("goto-beyond-reach-from-startup");
}
TEST_F(HardCases, TrackBeyondReachFromTheStretchedStartUpPoseComesInAndTurnsTheToolDown) {
  expectWithinBounds("track-beyond-reach-from-startup");
}
TEST_F(HardCases, LineBeyondReachGoesOutAlongTheLineAsFarAsTheArmReachesAndStaysStill) {
  expectWithinBounds("line-beyond-reach");
}
TEST_F(HardCases, ALineWhollyOutOfReachIsSaidAndTheGoalReachedAsGoto) {
  expectWithinBounds("line-out-of-reach");
}
TEST_F(HardCases, TheThreeAndFourJointArmsStopStillShortOfAGoalBeyondReach) {
  expectWithinBounds("goto-beyond-reach-3-joints");
  expectWithinBounds("goto-beyond-reach-4-joints");
}
TEST_F(HardCases, GotoFromTheStartUpPoseReachesAToolDownFrameInsideTheLimits) {
  expectWithinBounds("goto-from-startup");
}
TEST_F(HardCases, TrackFromTheStartUpPoseReachesItsGoalInsideTheLimits) {
  expectWithinBounds("track-from-startup");
}
TEST_F(HardCases, GotoFromAWristSingularStartReachesTheGoal) { expectWithinBounds("goto-wrist-singular"); }
TEST_F(HardCases, LimitPotentialLeavesTheOtherJointsOnTheirGoals) { expectWithinBounds("jgoto-limit-band"); }
TEST_F(HardCases, XtrackReadsAQuaternionOfLengthTwoAsItsRotation) {
  expectWithinBounds("xtrack-unnormalised");
}
TEST_F(HardCases, NxtrackReadsAQuaternionOfLengthTwoAsItsRotation) {
  expectWithinBounds("nxtrack-unnormalised");
}
TEST_F(HardCases, AxisAngleGoalWithALongAxisMeansItsUnitAxis) { expectWithinBounds("xtrack-axis-angle"); }
TEST_F(HardCases, LineModeApproachesTheLineNoFasterThanVmaxAndStaysOnIt) {
  expectWithinBounds("line-approach");
}

}  // namespace
