// Reloading control.dll between two ticks: the rebuilt laws take over from
// the arm's state and the current mode's goal; a file that cannot be used
// leaves the running laws in place.
//
// The versioned test plug-ins tell themselves apart in jgoto: version 1
// floats and overwrites qd with q, version 2 drives the arm to qd (a plain
// PD law: friction leaves it a degree or so short).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "ServoHarness.h"
#include "servo/UnitConversion.h"

namespace {

namespace fs = std::filesystem;

constexpr float kGoalDeg[6] = {20, -40, 150, 10, 40, 10};

class ServoReloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("korvex-reload-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    dll_ = (dir_ / "control.dll").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // As a linker writes its output: a new file renamed over the old name.
  void install(const char* plugin) {
    const fs::path fresh = dir_ / "control.dll.new";
    fs::copy_file(testPluginPath(plugin), fresh, fs::copy_options::overwrite_existing);
    fs::rename(fresh, dll_);
  }
  // As cp does: the same file, rewritten in place.
  void overwriteInPlace(const char* plugin) {
    std::ifstream in(testPluginPath(plugin), std::ios::binary);
    std::ofstream out(dll_, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
  }

  static void selectJgoto(ServoHarness& h) {
    CMsg msg;
    msg.setType(UI_CONTROL_MODE);
    msg.writeInt(kJgoto);
    msg.writeFloats(kGoalDeg, 6);
    h.request(msg);
  }
  // The reload's text, and nothing else the servo said meanwhile.
  static std::string reload(ServoHarness& h) {
    h.replies();
    h.requestEmpty(UI_RELOAD);
    return textOf(h.replies());
  }
  static double goalErrorDeg(ServoHarness& h) {
    double worst = 0;
    for (int i = 0; i < 6; ++i)
      worst = std::fmax(worst, std::fabs(h.state().q[i] * kDegPerRad - kGoalDeg[i]));
    return worst;
  }
  // Version 1 publishes q in qd; version 2 leaves the goal there.
  static bool goalInQd(ServoHarness& h) {
    for (int i = 0; i < 6; ++i)
      if (std::fabs(h.state().qd[i] - kGoalDeg[i] * kRadPerDeg) > 1e-6f) return false;
    return true;
  }

  fs::path dir_;
  std::string dll_;
};

TEST_F(ServoReloadTest, RebuiltPluginTakesOverFromTheArmsStateWithTheModesGoal) {
  install("versioned_plugin_1");
  ServoHarness h(loadControlPlugin(dll_.c_str()));
  ASSERT_TRUE(h.servo().servoInit());
  selectJgoto(h);
  h.tick(250);  // version 1 floats: the arm stays at the start pose, qd no longer holds the goal
  ASSERT_FALSE(goalInQd(h));
  const double errorBefore = goalErrorDeg(h);
  ASSERT_GT(errorBefore, 10);
  PrVector q, dq;
  h.servo().robotDriver()->getJointPositions(q);
  h.servo().robotDriver()->getJointVelocities(dq);
  const float time = h.state().curTime;

  // Same path, new file: the loader would hand back the library it holds.
  install("versioned_plugin_2");
  EXPECT_EQ(reload(h), "Reloaded " + dll_ + "; mode jgoto started again.\n");
  EXPECT_EQ(h.servo().controlMode(), kJgoto);
  EXPECT_TRUE(goalInQd(h)) << "jgoto starts again with the goal it was selected with";
  PrVector qAfter, dqAfter;
  h.servo().robotDriver()->getJointPositions(qAfter);
  h.servo().robotDriver()->getJointVelocities(dqAfter);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(qAfter[i], q[i]) << "the arm is where it was";
    EXPECT_EQ(dqAfter[i], dq[i]);
  }
  h.tick(1);
  EXPECT_NEAR(h.state().curTime, time + 0.002f, 1e-5f) << "the servo clock runs on";
  h.tick(2000);
  EXPECT_LT(goalErrorDeg(h), 2.0) << "version 2 drives the arm to the goal";

  // The file rewritten in place, as cp does: read again too.
  overwriteInPlace("versioned_plugin_1");
  EXPECT_EQ(reload(h), "Reloaded " + dll_ + "; mode jgoto started again.\n");
  h.tick(1);
  EXPECT_FALSE(goalInQd(h)) << "version 1 runs again";
}

TEST_F(ServoReloadTest, UnusableFileLeavesTheRunningLawsInPlace) {
  install("versioned_plugin_2");
  ServoHarness h(loadControlPlugin(dll_.c_str(), true));  // as the program loads it
  ASSERT_TRUE(h.servo().servoInit());
  selectJgoto(h);
  h.tick(100);
  const std::string keeps = "; the running control.dll goes on.\n";

  std::ofstream(dll_, std::ios::trunc) << "int main() { return 0; }\n";  // a half-written or wrong file
  const std::string garbage = reload(h);
  EXPECT_EQ(garbage.rfind("Reload refused: " + dll_ + ": ", 0), 0u) << garbage;
  EXPECT_NE(garbage.find(keeps), std::string::npos) << garbage;
  EXPECT_EQ(std::count(garbage.begin(), garbage.end(), '\n'), 1) << "one line: " << garbage;

  // The loader would fault on the missing part of a library cut short.
  const std::string library = testPluginPath("versioned_plugin_2");
  const auto size = fs::file_size(library);
  fs::copy_file(library, dll_, fs::copy_options::overwrite_existing);
  fs::resize_file(dll_, size / 2);
  EXPECT_EQ(reload(h), "Reload refused: " + dll_ + " is cut short (" + std::to_string(size / 2) +
                           " of at least " + std::to_string(size) + " bytes; a build still writing it?)" +
                           keeps);

  fs::remove(dll_);
  EXPECT_EQ(reload(h), "Reload refused: " + dll_ + ": No such file or directory" + keeps);

  install("lacking_plugin");
  EXPECT_EQ(reload(h), "Reload refused: " + dll_ + " does not export floatControl" + keeps);

  h.tick(2000);
  EXPECT_TRUE(goalInQd(h));
  EXPECT_LT(goalErrorDeg(h), 2.0) << "version 2 still drives the arm";
}

TEST_F(ServoReloadTest, PluginOfAnotherRecordLayoutIsRefusedAtStartAndAtReload) {
  install("wrong_layout_plugin");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const ControlPlugin refused = loadControlPlugin(dll_.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nFail to load DLL.\n");
  const std::string why = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(refused.loaded());
  EXPECT_NE(why.find(dll_ + " was built for another state record (" + std::to_string(sizeof(ServoState) + 8) +
                     " bytes, layout 1; this servo's is " + std::to_string(sizeof(ServoState)) + " bytes"),
            std::string::npos)
      << why;

  install("versioned_plugin_2");
  ServoHarness h(loadControlPlugin(dll_.c_str(), true));
  ASSERT_TRUE(h.servo().servoInit());
  selectJgoto(h);
  install("wrong_layout_plugin");
  const std::string text = reload(h);
  EXPECT_EQ(text.rfind("Reload refused: " + dll_ + " was built for another state record", 0), 0u) << text;
  h.tick(1500);
  EXPECT_LT(goalErrorDeg(h), 2.0) << "version 2 still drives the arm";
}

TEST_F(ServoReloadTest, PluginWithoutLayoutTagLoadsWithOneLineOfWarning) {
  install("untagged_plugin");
  testing::internal::CaptureStderr();
  ServoHarness h(loadControlPlugin(dll_.c_str()));
  const std::string warning = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(h.servo().plugin().loaded());
  EXPECT_FALSE(h.servo().plugin().tagged());
  const std::string line = dll_ +
                           " has no layout tag (ServoStateLayout); loaded without checking that it was built "
                           "for this state record.\n";
  EXPECT_EQ(warning, line);
  ASSERT_TRUE(h.servo().servoInit());
  EXPECT_EQ(reload(h), line + "Reloaded " + dll_ + "; mode float started again.\n");
}

TEST_F(ServoReloadTest, PluginBuiltAfterAStartWithoutOneIsLoadedByReload) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ServoHarness h(loadControlPlugin(dll_.c_str(), true));
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  ASSERT_FALSE(h.servo().plugin().loaded());
  ASSERT_TRUE(h.servo().servoInit());
  selectJgoto(h);
  install("versioned_plugin_2");
  EXPECT_EQ(reload(h), "Reloaded " + dll_ + "; mode jgoto started again.\n");
  h.tick(2000);
  EXPECT_LT(goalErrorDeg(h), 2.0);
}

}  // namespace
