// The window over the link: "korvex --servo-only" and "korvex --connect" on
// the test's display, the window's console driving the servo in the other
// process, and both ways a session ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleText.h"
#include "DesktopControl.h"
#include "GuiTestEnvironment.h"
#include "ProgramRun.h"
#include "ScreenWatch.h"

namespace {
namespace fs = std::filesystem;

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class RemoteWindowRun : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();  // DISPLAY names the private Xvfb from here on
    servo = std::make_unique<ProgramRun>("servo",
                                         std::vector<std::string>{"--servo-only", "--listen", "127.0.0.1:0"});
    const int port = listeningPort(*servo, 20000);
    ASSERT_GT(port, 0) << servo->err();
    window = std::make_unique<ProgramRun>(
        "window", std::vector<std::string>{"--connect", "127.0.0.1:" + std::to_string(port)});
    ASSERT_TRUE(window->waitForErr("connected to the servo", 10000)) << window->err();
  }

  std::unique_ptr<ProgramRun> servo;
  std::unique_ptr<ProgramRun> window;
};

TEST_F(RemoteWindowRun, ConsoleLinesDriveTheServoWhichOutlivesTheWindow) {
  pause(1500);  // the window is up and refreshing over the link
  for (const char* line : {"float", "jgoto 10 -20 30 0 0 0"}) {
    ASSERT_TRUE(window->type(line));
    pause(700);
  }
  pause(3000);
  ASSERT_TRUE(window->type("pjpos"));
  pause(700);
  ASSERT_TRUE(window->type("exit"));

  ASSERT_EQ(window->wait(30000), 0) << window->err();
  const std::string err = window->err();
  const std::vector<double> q = lastPrintedJointPositions(err);
  const std::vector<double> goal = {10, -20, 30, 0, 0, 0};
  ASSERT_EQ(q.size(), goal.size()) << err;
  for (size_t i = 0; i < q.size(); ++i) EXPECT_NEAR(q[i], goal[i], 1.5) << "joint " << i << "\n" << err;
  EXPECT_GT(fs::file_size(window->dir() / "config"), 0u) << "the window wrote no layout: did it open?";
  EXPECT_NE(window->out().find("Exiting."), std::string::npos);
  EXPECT_EQ(err.find("error"), std::string::npos) << err;

  ASSERT_TRUE(servo->waitForErr("the user interface disconnected", 5000)) << servo->err();
  EXPECT_TRUE(servo->running()) << "the servo ended with the window";
  servo->signal(SIGTERM);
  EXPECT_EQ(servo->wait(10000), 0) << servo->err();
  EXPECT_NE(servo->out().find("Exiting."), std::string::npos);
}

TEST_F(RemoteWindowRun, ServoClosingTheLinkEndsTheWindowQuietly) {
  pause(1500);
  servo->signal(SIGTERM);
  EXPECT_EQ(servo->wait(10000), 0) << servo->err();

  ASSERT_EQ(window->wait(20000), 0) << window->err();
  const std::string err = window->err();
  EXPECT_NE(err.find("closed the connection."), std::string::npos) << err;
  // Nothing is sent on a link the servo has closed, so nothing fails.
  EXPECT_EQ(err.find("send()"), std::string::npos) << err;
  EXPECT_EQ(err.find("not taking requests"), std::string::npos) << err;
  EXPECT_NE(window->out().find("Exiting."), std::string::npos);
  EXPECT_GT(fs::file_size(window->dir() / "config"), 0u);
}

// The same two programs watched through screenshots (label "acceptance").
class RemoteWindowAcceptance : public RemoteWindowRun {
 protected:
  void SetUp() override {
    if (!haveTool("xdotool") || !haveTool("import"))
      GTEST_SKIP() << "xdotool and ImageMagick's import are needed";
    RemoteWindowRun::SetUp();
  }
  QImage shot() { return screenshot(window->dir() / "screen.ppm"); }
};

TEST_F(RemoteWindowAcceptance, TheScopeDrawsTheTicksOfTheServoInTheOtherProcess) {
  Geometry geometry;
  const unsigned id = findWindow(&geometry);
  ASSERT_NE(id, 0u) << window->err();
  QRect chart;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  QImage screen = shot();
  for (bool asked = false; chart.isEmpty() && std::chrono::steady_clock::now() < deadline; screen = shot()) {
    const QRect view = findView(screen);
    if (view.isEmpty()) continue;
    if (!asked) {
      shell("xdotool windowfocus --sync " + std::to_string(id));
      pressKeys({"ctrl+shift+s"});  // View > Scope
      asked = true;
    }
    chart = findScopeChart(screen, view, geometry);
  }
  ASSERT_FALSE(chart.isEmpty()) << "the scope never showed";
  const int still = curvePixels(screen, chart);

  // The curves grow while the arm moves in the other process.
  ASSERT_TRUE(window->type("jgoto 20 -30 110 0 40 0"));
  pause(700);
  const int moving = curvePixels(shot(), chart);
  pause(700);
  const QImage later = shot();
  EXPECT_GT(moving, still + 200);
  EXPECT_GT(curvePixels(later, chart), moving) << "the scope stopped drawing";
  if (HasFailure()) later.save(QString::fromStdString((window->dir() / "remote-scope.png").string()));

  ASSERT_TRUE(window->type("exit"));
  ASSERT_EQ(window->wait(30000), 0) << window->err();
  EXPECT_EQ(window->err().find("Malformed"), std::string::npos) << window->err();
  EXPECT_EQ(window->err().find("Unknown"), std::string::npos) << window->err();
}

}  // namespace
