// control.dll as the servo sees it: all 51 entry points exported, its text
// reaching the host's print sink, ticks that allocate nothing, and the kit's
// template plug-in built out of tree and run by the servo.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>

#include "AllocationCounter.h"
#include "KitBuild.h"
#include "StateFixture.h"
#include "protocol/ControlModeTable.h"
#include "scenarios/ScenarioBench.h"
#include "scenarios/Scenarios.h"
#include "servo/ControlPlugin.h"
#include "utility/consolePrint.h"

namespace {

class CapturingSink : public ConsolePrintSink {
 public:
  CapturingSink() { setConsolePrintSink(this); }
  ~CapturingSink() override { setConsolePrintSink(nullptr); }
  int vprint(const char* format, va_list args) override {
    char buffer[1024];
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    text += buffer;
    return n;
  }
  std::string text;
};

TEST(ControlLibrary, ExportsEveryEntryPoint) {
  const ControlPlugin plugin = loadControlPlugin("./control.dll");
  ASSERT_TRUE(plugin.loaded());
  EXPECT_TRUE(plugin.tagged()) << "the layout tag lets the servo refuse a stale build";
  EXPECT_EQ(plugin.resolvedCount(), ControlPlugin::kEntryPointCount);
  for (int mode = 0; mode < kNumControlModes; ++mode) {
    EXPECT_TRUE(plugin.hasTick(mode)) << controlModeWord(mode);
    EXPECT_EQ(plugin.hasInit(mode), mode != kNoControl) << controlModeWord(mode);
  }
}

TEST(ControlLibrary, PrintsThroughTheHostsPrintRoutine) {
  const ControlPlugin plugin = loadControlPlugin("./control.dll");
  ASSERT_TRUE(plugin.loaded());
  StateFixture f;
  CapturingSink sink;
  plugin.initControl(&f.s);
  plugin.initMode(kJhold, &f.s);
  plugin.printDebug(&f.s);
  // A private copy of consolePrint inside the plug-in would bypass the sink.
  EXPECT_NE(sink.text.find("mode jhold"), std::string::npos) << sink.text;
  EXPECT_NE(sink.text.find("tau (N m)"), std::string::npos) << sink.text;
}

// The debug print tells the error the mode steers by: the joint-gain modes
// (the x-track modes among them) a joint error, the others the tool's.
TEST(ControlLibrary, DebugPrintShowsTheErrorOfTheModesGainSpace) {
  const ControlPlugin plugin = loadControlPlugin("./control.dll");
  ASSERT_TRUE(plugin.loaded());
  for (const ControlModeInfo& m : kControlModes) {
    if (m.mode == kNoControl || m.mode == kFloat) continue;
    SCOPED_TRACE(m.word);
    StateFixture f;
    plugin.initControl(&f.s);
    CapturingSink sink;
    plugin.initMode(m.mode, &f.s);
    plugin.printDebug(&f.s);
    EXPECT_NE(sink.text.find(std::string("mode ") + m.word + ","), std::string::npos) << sink.text;
    const bool joint = sink.text.find("joint error (deg)") != std::string::npos;
    const bool tool = sink.text.find("position error") != std::string::npos;
    EXPECT_EQ(joint, m.gains == GainSpace::kJoint) << sink.text;
    EXPECT_NE(joint, tool) << sink.text;
  }
}

TEST(ControlLibrary, RefusesNonFiniteTorquesAndFloatsInstead) {
  const ControlPlugin plugin = loadControlPlugin("./control.dll");
  StateFixture f;
  CapturingSink sink;
  plugin.initControl(&f.s);
  plugin.initMode(kJmove, &f.s);
  f.s.A(0, 0) = NAN;  // a broken record
  plugin.preprocessControl(&f.s);
  plugin.tickMode(kJmove, &f.s);
  plugin.postprocessControl(&f.s);
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(f.s.tau[i], f.s.G[i]);
  EXPECT_NE(sink.text.find("non-finite torque"), std::string::npos);
}

TEST(ControlLibrary, TicksAllocateNothing) {
  ScenarioBench bench;
  ASSERT_TRUE(bench.ready() && bench.pluginLoaded());
  bench.setJointGoal(kJgoto, kReadyPose);
  bench.run(3.0);
  const PrTransform here = bench.state().T;
  PrTransform goal = here;
  goal.translation[0] -= 0.05f;
  const float joints[6] = {10, -50, 150, 10, 50, 10};
  for (int mode : {kFloat, kJhold, kHold, kOpen, kJmove, kJgoto, kJtrack, kNjtrack}) {
    if (takesJointGoal(mode))
      bench.setJointGoal(mode, joints);
    else
      bench.setMode(mode);
    bench.run(0.05);
    alloccount::Scope scope;
    bench.run(0.5);
    EXPECT_EQ(scope.allocations(), 0) << controlModeWord(mode);
  }
  for (int mode : {kXtrack, kGoto, kTrack, kPfmove, kProj1, kProj2, kProj3}) {
    bench.setFrameGoal(mode, goal);
    bench.run(0.05);
    alloccount::Scope scope;
    bench.run(0.5);
    EXPECT_EQ(scope.allocations(), 0) << controlModeWord(mode);
  }
}

#ifdef KORVEX_KIT_DIR
TEST(PluginKit, TemplateBuildsOutOfTreeAndTheServoRunsIt) {
  std::string why;
  const std::string library = buildKitTemplate(KORVEX_KIT_DIR, "template", &why);
  ASSERT_FALSE(library.empty()) << why;
  {
    const ControlPlugin plugin = loadControlPlugin(library.c_str());
    ASSERT_TRUE(plugin.loaded());
    EXPECT_TRUE(plugin.tagged());
    EXPECT_EQ(plugin.resolvedCount(), ControlPlugin::kEntryPointCount);
  }
  // The servo and the arm with the template: every mode floats (tau = G).
  ScenarioBench bench(library.c_str());
  ASSERT_TRUE(bench.ready() && bench.pluginLoaded());
  const float joints[6] = {10, -50, 150, 10, 50, 10};
  bench.setJointGoal(kJgoto, joints);
  bench.run(0.5, [](const ServoState& s) {
    for (int i = 0; i < s.dof; ++i) {
      const float limited = std::fmax(-s.tauMax[i], std::fmin(s.tauMax[i], s.G[i]));
      ASSERT_FLOAT_EQ(s.tau[i], limited);
    }
  });
  std::filesystem::remove_all(std::filesystem::path(library).parent_path());
}
#endif

}  // namespace
