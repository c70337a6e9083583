#include <gtest/gtest.h>

#include "TestPlugins.h"
#include "servo/ControlPlugin.h"

namespace {

TEST(ControlPluginTest, ResolvesAllEntryPointsAndCallsThemThroughDlopen) {
  ControlPlugin plugin = loadControlPlugin(testPluginPath("recording_plugin").c_str());
  ASSERT_TRUE(plugin.loaded());
  EXPECT_EQ(plugin.resolvedCount(), ControlPlugin::kEntryPointCount);
  EXPECT_FALSE(plugin.hasInit(kNoControl)) << "nocontrol has no init function";
  for (int mode = 0; mode < kNumControlModes; ++mode) EXPECT_TRUE(plugin.hasTick(mode)) << mode;

  RecordingLog log;
  ASSERT_TRUE(log.ok());
  log.clear();
  ServoState state;
  state.dof = 1;
  state.tau.setSize(1, true);
  log.setTickTorque(2.5f);
  plugin.initControl(&state);
  plugin.preprocessControl(&state);
  plugin.initMode(kJgoto, &state);
  plugin.initMode(kNoControl, &state);
  EXPECT_TRUE(plugin.tickMode(kProj3, &state));
  EXPECT_FALSE(plugin.tickMode(24, &state));
  EXPECT_FALSE(plugin.tickMode(-1, &state));
  plugin.postprocessControl(&state);
  plugin.printDebug(&state);
  EXPECT_EQ(log.names(),
            (std::vector<std::string>{"InitControl", "PreprocessControl", controlModeInitName(kJgoto),
                                      controlModeTickName(kProj3), "PostprocessControl", "PrintDebug"}));
  EXPECT_EQ(state.tau[0], 2.5f) << "the plug-in writes the record in place";
}

TEST(ControlPluginTest, MissingEntryPointsAreNeverCalled) {
  ControlPlugin plugin = loadControlPlugin(testPluginPath("broken_plugin").c_str());
  ASSERT_TRUE(plugin.loaded());
  EXPECT_EQ(plugin.resolvedCount(), ControlPlugin::kEntryPointCount - 4);
  EXPECT_FALSE(plugin.hasTick(kJgoto));
  EXPECT_FALSE(plugin.hasInit(kJmove));
  EXPECT_TRUE(plugin.hasTick(kJmove));

  RecordingLog log("broken_plugin");
  ASSERT_TRUE(log.ok());
  log.clear();
  ServoState state;
  plugin.initControl(&state);
  plugin.printDebug(&state);
  plugin.initMode(kJmove, &state);
  EXPECT_FALSE(plugin.tickMode(kJgoto, &state));
  plugin.initMode(kJgoto, &state);
  EXPECT_EQ(log.names(), std::vector<std::string>{controlModeInitName(kJgoto)});
}

TEST(ControlPluginTest, AbsentLibraryLeavesEveryEntryPointAbsent) {
  testing::internal::CaptureStdout();
  ControlPlugin plugin = loadControlPlugin("./no-such-control.dll");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nFail to load DLL.\n");
  EXPECT_FALSE(plugin.loaded());
  EXPECT_EQ(plugin.resolvedCount(), 0);
  ServoState state;
  plugin.initControl(&state);
  plugin.preprocessControl(&state);
  plugin.initMode(kFloat, &state);
  EXPECT_FALSE(plugin.tickMode(kFloat, &state));
  plugin.postprocessControl(&state);
}

}  // namespace
