// The check that keeps Qt from ending the program over a display it cannot
// open: the check itself against the private Xvfb and a display nobody
// serves, and the program falling back to the console.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "GuiTestEnvironment.h"
#include "ProgramRun.h"
#include "gui/DisplayCheck.h"

namespace {
namespace fs = std::filesystem;

// A display number with no server behind it.
std::string deadDisplay() {
  for (int n = 4321;; ++n)
    if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) &&
        !fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
      return ":" + std::to_string(n);
}

// Restores the variables the tests change.
class DisplayCheck : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();
    for (const char* name : kNames) saved[name] = std::getenv(name) ? std::getenv(name) : "";
  }
  void TearDown() override {
    for (const char* name : kNames) {
      if (saved[name].empty())
        unsetenv(name);
      else
        setenv(name, saved[name].c_str(), 1);
    }
  }
  static constexpr const char* kNames[] = {"DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY",
                                           "XDG_SESSION_TYPE"};
  std::map<std::string, std::string> saved;
};

TEST_F(DisplayCheck, ServedDisplayPassesAndUnservedOneFails) {
  unsetenv("QT_QPA_PLATFORM");
  EXPECT_TRUE(displayReachable()) << "the tests' own Xvfb at " << displayName();
  setenv("DISPLAY", deadDisplay().c_str(), 1);
  EXPECT_FALSE(displayReachable());
  EXPECT_EQ(displayName(), std::getenv("DISPLAY"));
  // A Wayland name without a compositor behind it does not help.
  setenv("XDG_SESSION_TYPE", "wayland", 1);
  setenv("WAYLAND_DISPLAY", "/nonexistent/wayland-0", 1);
  EXPECT_FALSE(displayReachable());
}

TEST_F(DisplayCheck, PlatformListNeedsOneUsableEntry) {
  setenv("DISPLAY", deadDisplay().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  EXPECT_FALSE(displayReachable());
  setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
  EXPECT_TRUE(displayReachable()) << "offscreen needs no display";
  setenv("QT_QPA_PLATFORM", "wayland;xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(displayReachable());
}

TEST_F(DisplayCheck, ProgramFallsBackToTheConsoleOverAnUnservedDisplay) {
  const std::string display = deadDisplay();
  ProgramRun korvex("dead-display", {}, {"DISPLAY=" + display, "QT_QPA_PLATFORM="});
  ASSERT_TRUE(korvex.type("pjpos"));
  korvex.closeInput();  // without a window, the end of input ends the session
  ASSERT_EQ(korvex.wait(30000), 0) << korvex.err();
  const std::string err = korvex.err();
  EXPECT_NE(
      err.find("korvex: cannot open the display " + display + "; running the servo and the console only.\n"),
      std::string::npos)
      << err;
  EXPECT_NE(err.find("q = ("), std::string::npos) << "the console ran: " << err;
  EXPECT_EQ(err.find("qt.qpa"), std::string::npos) << "Qt was never asked: " << err;
  EXPECT_FALSE(fs::exists(korvex.dir() / "config")) << "no window, no layout";
  EXPECT_NE(korvex.out().find("Exiting."), std::string::npos);
}

}  // namespace
