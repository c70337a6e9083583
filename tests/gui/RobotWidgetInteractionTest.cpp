#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ViewTestSupport.h"

namespace {

TEST(RobotWidgetDrag, SphereDragSendsSetObstacleAndIgnoresConsoleUpdates) {
  RecordingConsole console;
  auto view = makeView(console);
  view->setSphere(sphere(3, 0.5f, -1.0f, 0.4f, 0.1f));
  int selected = -1;
  QObject::connect(view.get(), &RobotWidget::selectSphere, [&](int id) { selected = id; });
  const QPointF at = project(*view, PrVector3(0.5f, -1.0f, 0.4f));
  sendMouse(*view, QEvent::MouseButtonPress, at, Qt::LeftButton);
  EXPECT_EQ(view->mode(), RobotWidget::kSphere);
  EXPECT_EQ(selected, 3);
  EXPECT_TRUE(console.lines.empty());
  sendMouse(*view, QEvent::MouseMove, at + QPointF(20, 0), Qt::LeftButton);
  sendMouse(*view, QEvent::MouseMove, at + QPointF(20, -10), Qt::LeftButton);
  // An update from the console for the grabbed sphere does not fight the drag.
  view->setSphere(sphere(3, 0, 0, 0, 0.3f));
  sendMouse(*view, QEvent::MouseButtonRelease, at + QPointF(20, -10), Qt::LeftButton);
  EXPECT_EQ(view->mode(), RobotWidget::kIdle);

  ASSERT_EQ(console.lines.size(), 2u);
  int id = 0;
  PrVector3 sent[2];
  float lastX = 0;
  const PrVector3 start = eyeCoordinates(*view, PrVector3(0.5f, -1.0f, 0.4f));
  for (int i = 0; i < 2; ++i) {
    float x, y, z, r;
    ASSERT_EQ(std::sscanf(console.lines[i].c_str(), "setobstacle %d %g %g %g %g", &id, &x, &y, &z, &r), 5)
        << console.lines[i];
    EXPECT_EQ(id, 3);
    EXPECT_FLOAT_EQ(r, 0.1f);
    sent[i] = eyeCoordinates(*view, PrVector3(x, y, z));
    lastX = x;
    // The grabbed depth is kept: the sphere stays in its plane facing the eye.
    EXPECT_NEAR(sent[i][2], start[2], 0.01f);
  }
  // The grab was on the sphere's near side: the centre moves with the pixels
  // at about that depth.
  const double pitch = pixelPitch(*view, -start[2]);
  EXPECT_NEAR(sent[0][0] - start[0], 20 * pitch, 0.15 * 20 * pitch);
  EXPECT_NEAR(sent[0][1], start[1], 0.005f);
  EXPECT_NEAR(sent[1][1] - sent[0][1], 10 * pitch, 0.15 * 10 * pitch);
  const auto after = view->spheres();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NEAR(after[0].center[0], lastX, 1e-5f);  // printed with six digits
  // Released: console updates count again.
  view->setSphere(sphere(3, 0, 0, 0, 0.3f));
  EXPECT_FLOAT_EQ(view->spheres()[0].radius, 0.3f);
}

TEST(RobotWidgetDrag, LinkDragPullsWithTheSpring) {
  RecordingConsole console;
  auto view = makeView(console);
  PrVector q(6);
  q[2] = 20;
  view->setJointPositions(q);
  const PrVector3 grabbed = view->linkToWorld(1, PrVector3(0.2f, 0, 0));
  const QPointF at = project(*view, grabbed);
  sendMouse(*view, QEvent::MouseButtonPress, at, Qt::LeftButton);
  EXPECT_EQ(view->mode(), RobotWidget::kContact);
  sendMouse(*view, QEvent::MouseMove, at + QPointF(0, -30), Qt::LeftButton);
  view->snapshot();  // draws the spring
  sendMouse(*view, QEvent::MouseButtonRelease, at + QPointF(0, -30), Qt::LeftButton);
  EXPECT_EQ(view->mode(), RobotWidget::kIdle);

  ASSERT_EQ(console.lines.size(), 4u);
  int link = -1;
  float p[3], joints[6];
  ASSERT_EQ(
      std::sscanf(console.lines[0].c_str(), "setcontactpoint %d %g %g %g %g %g %g %g %g %g", &link, &p[0],
                  &p[1], &p[2], &joints[0], &joints[1], &joints[2], &joints[3], &joints[4], &joints[5]),
      10)
      << console.lines[0];
  EXPECT_EQ(link, 1);
  // The point lies on the near surface of the upper arm, in its frame.
  EXPECT_NEAR(p[0], 0.2f, 0.05f);
  EXPECT_LT(std::fabs(p[1]), 0.07f);
  EXPECT_LT(std::fabs(p[2]), 0.05f);
  EXPECT_NEAR(joints[2], 20.0f, 1e-4f);
  EXPECT_NEAR(joints[0], 0.0f, 1e-4f);
  float f0[3], f1[3];
  ASSERT_EQ(std::sscanf(console.lines[1].c_str(), "applycontactforce %g %g %g", &f0[0], &f0[1], &f0[2]), 3);
  ASSERT_EQ(std::sscanf(console.lines[2].c_str(), "applycontactforce %g %g %g", &f1[0], &f1[1], &f1[2]), 3);
  // At the press the spring's end is the grabbed point itself; the drag lifts it.
  const PrVector3 surface = view->linkToWorld(1, PrVector3(p[0], p[1], p[2]));
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(f0[k], surface[k], 1e-3f);
  EXPECT_GT(f1[2], f0[2] + 0.05f);
  EXPECT_EQ(console.lines[3], "removecontactforce");
}

TEST(RobotWidgetDrag, LineEndDragSendsSetLine) {
  RecordingConsole console;
  auto view = makeView(console);
  VirtualLine line;
  line.enabled = 1;
  line.p1 = PrVector3(-0.6f, -1.0f, -0.3f);
  line.p2 = PrVector3(-0.6f, -1.0f, 0.3f);
  line.direction = PrVector3(0, 0, 1);
  line.closest = PrVector3(-0.6f, -1.0f, 0);
  view->setLine(line);
  const QPointF at = project(*view, line.p1);
  sendMouse(*view, QEvent::MouseButtonPress, at, Qt::LeftButton);
  EXPECT_EQ(view->mode(), RobotWidget::kLineEnd);
  sendMouse(*view, QEvent::MouseMove, at + QPointF(-15, 0), Qt::LeftButton);
  sendMouse(*view, QEvent::MouseButtonRelease, at + QPointF(-15, 0), Qt::LeftButton);
  ASSERT_EQ(console.lines.size(), 1u);
  float a[3], b[3];
  ASSERT_EQ(std::sscanf(console.lines[0].c_str(), "setline %g %g %g %g %g %g", &a[0], &a[1], &a[2], &b[0],
                        &b[1], &b[2]),
            6);
  EXPECT_LT(a[0], -0.6f - 0.03f);
  EXPECT_NEAR(a[2], -0.3f, 0.005f);
  EXPECT_FLOAT_EQ(b[0], -0.6f);
  EXPECT_FLOAT_EQ(b[2], 0.3f);
}

TEST(RobotWidgetCamera, DragOnEmptySpaceTurnsAndShiftZooms) {
  RecordingConsole console;
  auto view = makeView(console);
  float before[16];
  std::copy(view->eyeFrame(), view->eyeFrame() + 16, before);
  const PrVector3 eyeBefore = eyePosition(*view);
  sendMouse(*view, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton);
  EXPECT_EQ(view->mode(), RobotWidget::kCamera);
  sendMouse(*view, QEvent::MouseMove, QPointF(105, 5), Qt::LeftButton);  // a quarter width: 22.5°
  sendMouse(*view, QEvent::MouseButtonRelease, QPointF(105, 5), Qt::LeftButton);
  // The camera keeps its distance and height and turns about the world vertical.
  const float* eye = view->eyeFrame();
  EXPECT_NEAR(eye[14], before[14], 1e-5f);
  const PrVector3 eyeAfter = eyePosition(*view);
  EXPECT_NEAR(eyeAfter[2], eyeBefore[2], 1e-4f);
  EXPECT_NEAR(eyeAfter.magnitude(), eyeBefore.magnitude(), 1e-4f);
  EXPECT_NEAR(std::atan2(eyeBefore[1], eyeBefore[0]) - std::atan2(eyeAfter[1], eyeAfter[0]),
              22.5f * 3.14159265f / 180, 2e-3f);
  // The screen's horizontal stays level: the floor does not tilt.
  EXPECT_NEAR(eye[8], 0.0f, 1e-5f);
  // Shift + drag down by a tenth of the height moves the camera a tenth closer.
  sendMouse(*view, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::ShiftModifier);
  sendMouse(*view, QEvent::MouseMove, QPointF(5, 45), Qt::LeftButton, Qt::ShiftModifier);
  sendMouse(*view, QEvent::MouseButtonRelease, QPointF(5, 45), Qt::LeftButton);
  EXPECT_NEAR(view->eyeFrame()[14], before[14] * 0.9f, 1e-4f);
  EXPECT_TRUE(console.lines.empty());
  view->resetEyeFrame();
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(view->eyeFrame()[i], before[i], 1e-6f);
}

TEST(RobotWidgetMenu, DisplayTogglesAreExclusiveAndSendTheirCommands) {
  RecordingConsole console;
  auto view = makeView(console);
  EXPECT_TRUE(view->displayOption(RobotWidget::kDisplayEmassAsEllipsoid));
  view->displayAction(RobotWidget::kDisplayMsi)->trigger();
  EXPECT_TRUE(view->displayOption(RobotWidget::kDisplayMsi));
  EXPECT_TRUE(view->displayAction(RobotWidget::kDisplayMsi)->isChecked());
  view->displayAction(RobotWidget::kDisplayAccLimit)->trigger();
  EXPECT_FALSE(view->displayOption(RobotWidget::kDisplayMsi));
  EXPECT_FALSE(view->displayAction(RobotWidget::kDisplayMsi)->isChecked());
  EXPECT_TRUE(view->displayAction(RobotWidget::kDisplayAccLimit)->isChecked());
  view->displayAction(RobotWidget::kDisplayMaxVelocity)->trigger();
  EXPECT_TRUE(view->displayAction(RobotWidget::kDisplayMaxVelocity)->isChecked());
  view->displayAction(RobotWidget::kDisplayMaxVelocity)->trigger();
  EXPECT_FALSE(view->displayOption(RobotWidget::kDisplayMaxVelocity));
  EXPECT_FALSE(view->displayAction(RobotWidget::kDisplayMaxVelocity)->isChecked());
  view->displayAction(RobotWidget::kDisplayEmassOnEndEffector)->trigger();
  view->toggleDisplayEmassOnContactPoint(0);
  EXPECT_FALSE(view->displayOption(RobotWidget::kDisplayEmassOnEndEffector));
  EXPECT_TRUE(view->displayOption(RobotWidget::kDisplayEmassAsEllipsoid));
  const std::vector<std::string> expected = {"setifmaxvel 0", "setifmaxvel 1", "setemasspos 1",
                                             "setemasspos 0"};
  EXPECT_EQ(console.lines, expected);
  const auto entries = view->popupMenu()->actions();
  // The twelve of the display, a separator, the two guides, a separator, the three goal marks.
  ASSERT_EQ(entries.size(), 19);
  EXPECT_EQ(entries[0]->text(), "Reset Image");
  EXPECT_EQ(entries[5]->text(), "Enable Horizontal Rotation");
  EXPECT_TRUE(entries[5]->isChecked());
  EXPECT_FALSE(entries[6]->isChecked());
  entries[6]->trigger();
  EXPECT_TRUE(entries[6]->isChecked());
  for (int mark = 0; mark < RobotWidget::kGoalMarkCount; ++mark) {
    const auto goalMark = RobotWidget::GoalMark(mark);
    EXPECT_TRUE(view->goalMarkShown(goalMark));
    EXPECT_EQ(entries[16 + mark], view->goalMarkAction(goalMark));
    entries[16 + mark]->trigger();
    EXPECT_FALSE(view->goalMarkShown(goalMark));
    EXPECT_FALSE(entries[16 + mark]->isChecked());
  }
}

TEST(RobotWidgetGoal, TheGhostArmShowsOnlyWhileTheArmIsAwayFromItsGoal) {
  RecordingConsole console;
  auto view = makeView(console);
  view->setJointPositions(PrVector(6));
  const QImage bare = view->snapshot();
  ASSERT_FALSE(bare.isNull());
  ViewGoal goal;
  goal.kind = ViewGoal::kJoints;
  goal.qd = PrVector(6);
  view->setGoal(goal);
  EXPECT_EQ(view->snapshot(), bare) << "a ghost inside the arm at its goal";
  goal.qd[1] = -45;
  goal.qd[2] = 135;
  view->setGoal(goal);
  const QImage ghost = view->snapshot();
  EXPECT_NE(ghost, bare);
  view->goalMarkAction(RobotWidget::kGoalArm)->trigger();
  EXPECT_EQ(view->snapshot(), bare);
  view->goalMarkAction(RobotWidget::kGoalArm)->trigger();
  EXPECT_EQ(view->snapshot(), ghost);
  goal.kind = ViewGoal::kNone;
  view->setGoal(goal);
  EXPECT_EQ(view->snapshot(), bare);
}

TEST(RobotWidgetModel, SwitchesModelsAndRefusesUnknownTypes) {
  RecordingConsole console;
  auto view = makeView(console);
  IRobotModel* six = view->model();
  ASSERT_NE(six, nullptr);
  EXPECT_EQ(view->switchRobotType(3), six);
  EXPECT_EQ(view->switchRobotType(7), nullptr);
  EXPECT_EQ(view->model(), nullptr);
  view->snapshot();  // draws no arm, does not crash
  ASSERT_NE(view->switchRobotType(0), nullptr);
  testing::internal::CaptureStderr();
  view->removeSphere(42);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Internal error: Tried to remove non-existent sphere.\n");
}

}  // namespace
