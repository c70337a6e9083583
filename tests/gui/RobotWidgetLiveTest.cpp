// The view redraws by itself: motion with its refresh timer, items at once,
// and nothing while the scene stands still. Frames are counted, never forced.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <functional>

#include "ViewTestSupport.h"

namespace {

// A shown view whose first frame has been drawn by the event loop.
std::unique_ptr<RobotWidget> shownView(RecordingConsole& console, int refreshMs) {
  guiApplication();
  auto view = std::make_unique<RobotWidget>(nullptr, refreshMs);
  view->setConsole(&console);
  view->resize(300, 300);
  view->switchRobotType(3);
  view->show();
  EXPECT_TRUE(processUntil([&] { return view->framesDrawn() > 0; }));
  return view;
}

PrVector pose(float shoulder) {
  PrVector q(6);
  q[1] = shoulder;
  return q;
}

TEST(RobotWidgetLive, MotionIsDrawnByTheRefreshTimer) {
  RecordingConsole console;
  auto view = shownView(console, 20);
  for (float shoulder : {-30.0f, -60.0f}) {
    const int before = view->framesDrawn();
    view->setJointPositions(pose(shoulder));
    EXPECT_TRUE(processUntil([&] { return view->framesDrawn() > before; })) << shoulder;
  }
}

// Runs the event loop for ms milliseconds, handing the view the same pose.
void holdPose(RobotWidget& view, float shoulder, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    view.setJointPositions(pose(shoulder));
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
}

TEST(RobotWidgetLive, AStillSceneIsNotRedrawn) {
  RecordingConsole console;
  auto view = shownView(console, 10);
  view->setJointPositions(pose(-30));
  ASSERT_TRUE(processUntil([&] { return view->framesDrawn() > 1; }));
  holdPose(*view, -30, 200);  // the window system's own first exposures
  const int frames = view->framesDrawn();
  // Twenty periods of the timer and the same pose again: nothing to draw.
  holdPose(*view, -30, 200);
  EXPECT_EQ(view->framesDrawn(), frames);
  // A creep too small to show is not drawn either; one that shows is.
  holdPose(*view, -30.004f, 100);
  EXPECT_EQ(view->framesDrawn(), frames);
  view->setJointPositions(pose(-30.1f));
  EXPECT_TRUE(processUntil([&] { return view->framesDrawn() > frames; }));
}

TEST(RobotWidgetLive, ItemsAndOptionsAreDrawnAtOnceWithoutTheTimer) {
  RecordingConsole console;
  auto view = shownView(console, 3600 * 1000);  // the timer never fires here
  VirtualLine line;
  line.enabled = 1;
  line.p2 = PrVector3(0, 0, 1);
  line.direction = PrVector3(0, 0, 1);
  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"sphere", [&] { view->setSphere(sphere(1, 0.5f, 0, 0, 0.1f)); }},
      {"moved sphere", [&] { view->setSphere(sphere(1, 0.5f, 0.2f, 0, 0.1f)); }},
      {"removed sphere", [&] { view->removeSphere(1); }},
      {"line", [&] { view->setLine(line); }},
      {"display option", [&] { view->displayAction(RobotWidget::kDisplayEmassOnEndEffector)->trigger(); }},
      {"grid", [&] { view->guideAction(RobotWidget::kGroundGrid)->trigger(); }},
      {"robot type", [&] { view->switchRobotType(1); }},
  };
  for (const auto& [what, change] : changes) {
    const int before = view->framesDrawn();
    change();
    EXPECT_TRUE(processUntil([&] { return view->framesDrawn() > before; })) << what;
  }
}

TEST(RobotWidgetLive, WithoutAPeriodMotionIsDrawnAsItArrives) {
  RecordingConsole console;
  auto view = shownView(console, 0);
  EXPECT_EQ(view->refreshPeriod(), 0);
  const int before = view->framesDrawn();
  view->setJointPositions(pose(-45));
  EXPECT_TRUE(processUntil([&] { return view->framesDrawn() > before; }));
}

}  // namespace
