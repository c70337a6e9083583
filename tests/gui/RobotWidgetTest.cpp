#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <cmath>
#include <cstdio>

#include "ViewTestSupport.h"
#include "libpuma/IRobotModel.h"

namespace {

TEST(RobotWidgetRender, DrawsTheArmWhereItsLinksProject) {
  RecordingConsole console;
  auto view = makeView(console);
  const QImage image = view->snapshot();
  image.save("robot_view.png");
  const int lit = drawnPixels(image, image.rect());
  // The arm covers a good part of the view, but not all of it.
  EXPECT_GT(lit, image.width() * image.height() / 50);
  EXPECT_LT(lit, image.width() * image.height() / 2);
  // Middle of the upper arm and of the pedestal are drawn.
  for (const auto& [link, local] :
       {std::pair{1, PrVector3(0.2f, 0, 0)}, std::pair{-1, PrVector3(0, 0, 0.3f)}}) {
    const QPoint at = project(*view, view->linkToWorld(link, local)).toPoint();
    EXPECT_GT(drawnPixels(image, QRect(at - QPoint(2, 2), QSize(5, 5))), 20) << "link " << link;
  }
}

TEST(RobotWidgetRender, JointAnglesMoveTheDrawnArm) {
  RecordingConsole console;
  auto view = makeView(console);
  const PrVector3 before = view->linkToWorld(4, PrVector3());
  PrVector q(6);
  q[1] = -60;
  view->setJointPositions(q);
  const PrVector3 after = view->linkToWorld(4, PrVector3());
  EXPECT_GT((after - before).magnitude(), 0.2f);
  // The shoulder does not move with joint 2.
  PrVector3 s0 = view->linkToWorld(0, PrVector3());
  view->setJointPositions(PrVector(6));
  EXPECT_LT((view->linkToWorld(0, PrVector3()) - s0).magnitude(), 1e-6f);
}

TEST(RobotWidgetRender, KeepsDrawingWithNonFiniteDisplayData) {
  RecordingConsole console;
  auto view = makeView(console);
  view->toggleDisplayMSIOnEndEffector(0);
  PrVector msi(1026);
  for (int i = 0; i < 1026; ++i) msi[i] = 0.1f * std::sin(float(i));
  msi[500] = NAN;
  view->setMsiData(msi);
  const int withNan = drawnPixels(view->snapshot(), QRect(QPoint(), view->size()));
  view->toggleDisplayMSIOnEndEffector(0);
  const int without = drawnPixels(view->snapshot(), QRect(QPoint(), view->size()));
  EXPECT_EQ(withNan, without);
  // EMass and hulls with short or invalid data are skipped as well.
  view->toggleDisplayEmassOnEndEffector(0);
  PrVector emass(12);
  emass[0] = INFINITY;
  view->setEMassData(emass);
  EXPECT_EQ(drawnPixels(view->snapshot(), QRect(QPoint(), view->size())), without);
  view->toggleDisplayAccLimit(0);
  view->setAccLimitData(PrVector(5));
  EXPECT_EQ(drawnPixels(view->snapshot(), QRect(QPoint(), view->size())), without);
}

TEST(RobotWidgetRender, SurfacesAddPixels) {
  RecordingConsole console;
  auto view = makeView(console);
  const int plain = drawnPixels(view->snapshot(), QRect(QPoint(), view->size()));
  // An EMass ellipsoid of semi-axes 20, 30, 40 (drawn × 0.01) about a turned frame.
  PrVector emass(12);
  const float c = std::cos(0.5f), s = std::sin(0.5f);
  const float rows[9] = {c, s, 0, -s, c, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) emass[i] = rows[i];
  emass[9] = 20;
  emass[10] = 30;
  emass[11] = 40;
  view->setEMassData(emass);
  view->toggleDisplayEmassOnEndEffector(0);
  EXPECT_GT(drawnPixels(view->snapshot(), QRect(QPoint(), view->size())), plain + 500);
  // The velocity hull of the 64 corners of a box.
  PrVector corners(3 * 64);
  for (int i = 0; i < 64; ++i)
    for (int k = 0; k < 3; ++k) corners[3 * i + k] = ((i >> k) & 1) ? 400.0f : -400.0f;
  view->setVelLimitData(corners);
  view->toggleDisplaySForceLimit(0);
  EXPECT_GT(drawnPixels(view->snapshot(), QRect(QPoint(), view->size())), plain + 500);
}

TEST(RobotWidgetPick, FindsSphereLinkAndLineEnd) {
  RecordingConsole console;
  auto view = makeView(console);
  view->setSphere(sphere(7, 0.5f, -1.0f, 0.5f, 0.1f));
  VirtualLine line;
  line.enabled = 1;
  line.p1 = PrVector3(-0.6f, -1.0f, -0.3f);
  line.p2 = PrVector3(-0.6f, -1.0f, 0.3f);
  line.closest = PrVector3(-0.6f, -1.0f, 0.0f);
  line.direction = PrVector3(0, 0, 1);
  view->setLine(line);
  float d = 0;
  QPoint at = project(*view, PrVector3(0.5f, -1.0f, 0.5f)).toPoint();
  EXPECT_EQ(view->pick(at.x(), at.y(), d), RobotWidget::kNameSphere + 7);
  // The distance is the depth of the sphere's near side along the view axis.
  const float centreDepth = -eyeCoordinates(*view, PrVector3(0.5f, -1.0f, 0.5f))[2];
  EXPECT_GT(d, centreDepth - 0.12f);
  EXPECT_LT(d, centreDepth);
  at = project(*view, line.p2).toPoint();
  EXPECT_EQ(view->pick(at.x(), at.y(), d), RobotWidget::kNameLineB);
  at = project(*view, line.p1).toPoint();
  EXPECT_EQ(view->pick(at.x(), at.y(), d), RobotWidget::kNameLineA);
  at = project(*view, view->linkToWorld(1, PrVector3(0.2f, 0, 0))).toPoint();
  EXPECT_EQ(view->pick(at.x(), at.y(), d), 2u);
  at = project(*view, view->linkToWorld(-1, PrVector3(0, 0, 0.3f))).toPoint();
  EXPECT_EQ(view->pick(at.x(), at.y(), d), 0u);
  EXPECT_EQ(view->pick(2, 2, d), RobotWidget::kNameBackground);
  EXPECT_EQ(d, 1.0f);
}

TEST(RobotWidgetPick, NearestOfOverlappingItemsWins) {
  RecordingConsole console;
  auto view = makeView(console);
  // Sphere 2 lies in front of sphere 1 on the same ray from the eye.
  const PrVector3 behind(1.0f, 0.5f, 1.0f), eye = eyePosition(*view);
  const PrVector3 front = eye + (behind - eye) * 0.7f;  // beyond the near plane
  view->setSphere(sphere(1, behind[0], behind[1], behind[2], 0.2f));
  view->setSphere(sphere(2, front[0], front[1], front[2], 0.05f));
  const QPoint at = project(*view, front).toPoint();
  float d = 0;
  EXPECT_EQ(view->pick(at.x(), at.y(), d), RobotWidget::kNameSphere + 2);
  view->removeSphere(2);
  EXPECT_EQ(view->pick(at.x(), at.y(), d), RobotWidget::kNameSphere + 1);
}

TEST(RobotWidgetPick, UndrivenLinkGivesWayToTheLastDrivenOneBelow) {
  RecordingConsole console;
  auto view = makeView(console, 1);  // 3-DOF: joints 2, 3 and 5 move
  float d = 0;
  // The end of the forearm that joint 4 rolls belongs to link 4; this model
  // leaves joint 4 out, so the pick becomes the forearm (link 3).
  const QPoint wrist = project(*view, view->linkToWorld(3, PrVector3(0, 0, -0.055f))).toPoint();
  EXPECT_EQ(view->pick(wrist.x(), wrist.y(), d), 3u);
  // Link 1 (joint 1, left out) becomes the base.
  const QPoint trunk = project(*view, view->linkToWorld(0, PrVector3(0, 0, -0.05f))).toPoint();
  EXPECT_EQ(view->pick(trunk.x(), trunk.y(), d), 0u);
}

}  // namespace

namespace {

TEST(RobotWidgetPick, ASurfaceIsHitAsTheEndOfTheArm) {
  RecordingConsole console;
  auto view = makeView(console);
  PrVector emass(12);
  emass[0] = emass[4] = emass[8] = 1;
  emass[9] = emass[10] = emass[11] = 30;  // a ball of radius 0.3 about the wrist
  view->setEMassData(emass);
  const PrVector3 wrist = view->linkToWorld(4, PrVector3());
  const double reach = 0.2 / pixelPitch(*view, -eyeCoordinates(*view, wrist)[2]);
  const QPointF centre = project(*view, wrist);
  float d = 0;
  int tried = 0;
  for (const QPointF offset :
       {QPointF(reach, 0), QPointF(-reach, 0), QPointF(0, reach), QPointF(0, -reach)}) {
    const QPoint at = (centre + offset).toPoint();
    if (view->pick(at.x(), at.y(), d) != RobotWidget::kNameBackground) continue;
    view->toggleDisplayEmassOnEndEffector(0);
    EXPECT_EQ(view->pick(at.x(), at.y(), d), 6u) << "the ellipsoid takes the click";
    view->toggleDisplayEmassOnEndEffector(0);
    EXPECT_EQ(view->pick(at.x(), at.y(), d), RobotWidget::kNameBackground);
    ++tried;
  }
  EXPECT_GT(tried, 0) << "no empty space beside the wrist";
}

TEST(RobotWidgetRender, GridAndBaseAxesShowByDefaultAndToggleFromTheMenu) {
  RecordingConsole console;
  guiApplication();
  RobotWidget view;
  view.setConsole(&console);
  view.resize(kViewWidth, kViewHeight);
  view.show();
  view.switchRobotType(3);
  waitForFirstFrame(view);
  for (RobotWidget::Guide guide : {RobotWidget::kGroundGrid, RobotWidget::kBaseAxes}) {
    EXPECT_TRUE(view.guideShown(guide));
    EXPECT_TRUE(view.guideAction(guide)->isChecked());
    EXPECT_TRUE(view.popupMenu()->actions().contains(view.guideAction(guide)));
  }
  // The x axis ends in red beside the trunk; the grid covers the floor.
  const QPoint xTip = project(view, PrVector3(scene::kAxisLength - 0.02f, 0, 0)).toPoint();
  const QImage both = view.snapshot();
  EXPECT_GT(qRed(both.pixel(xTip)), 2 * qGreen(both.pixel(xTip)));
  const int withGrid = drawnPixels(both, both.rect());
  view.guideAction(RobotWidget::kGroundGrid)->trigger();
  EXPECT_FALSE(view.guideShown(RobotWidget::kGroundGrid));
  EXPECT_FALSE(view.guideAction(RobotWidget::kGroundGrid)->isChecked());
  const QImage noGrid = view.snapshot();
  EXPECT_GT(withGrid, drawnPixels(noGrid, noGrid.rect()) + 1000);
  view.guideAction(RobotWidget::kBaseAxes)->trigger();
  EXPECT_LT(qRed(view.snapshot().pixel(xTip)), 2 * qGreen(view.snapshot().pixel(xTip)) + 10);
}

}  // namespace
