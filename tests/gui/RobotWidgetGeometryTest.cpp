// The drawn arm against the simulated one: where its tool is, whether the
// default camera holds every pose, and whether any link shows dark.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <random>

#include "ViewTestSupport.h"
#include "gui/PumaGeometry.h"
#include "libpuma/IRobotModel.h"
#include "libpuma/PrRobotDescription.h"
#include "libpuma/PumaKinematics.h"
#include "utility/Angles.h"

namespace {

constexpr float kDegToRad = kPiF / 180;

// Joint angles (degrees) within the 6-DOF model's limits.
std::vector<PrVector> posesWithinLimits(const IRobotModel& model, int count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<PrVector> poses;
  for (int n = 0; n < count; ++n) {
    PrVector q(6);
    for (int j = 0; j < 6; ++j) {
      std::uniform_real_distribution<float> within(model.m_jointMin[j], model.m_jointMax[j]);
      q[j] = within(random) / kDegToRad;
    }
    poses.push_back(q);
  }
  return poses;
}

// The closed-form model's tool point for joint angles in degrees.
PrVector3 modelToolPoint(const PrVector& degrees) {
  PrVector radians(6), p;
  for (int j = 0; j < 6; ++j) radians[j] = degrees[j] * kDegToRad;
  puma::operationalPoint(radians, p);
  return PrVector3(p[0], p[1], p[2]);
}

TEST(RobotWidgetGeometry, LinksAreTheShippedDescriptionsChain) {
  PrRobotDescription description;
  ASSERT_TRUE(readRobotDescription("puma560.prm", 6, 0, description));
  ASSERT_EQ(description.joints.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    const PrLinkRecord& record = description.joints[size_t(i)];
    EXPECT_NEAR(record.alpha / kDegToRad, pumagl::kLinks[i].alphaDeg, 1e-3f) << "joint " << i + 1;
    EXPECT_FLOAT_EQ(record.a, pumagl::kLinks[i].a) << "joint " << i + 1;
    EXPECT_FLOAT_EQ(record.d, pumagl::kLinks[i].d) << "joint " << i + 1;
    EXPECT_EQ(record.theta, 0.0f) << "joint " << i + 1;
  }
  for (const PrLinkRecord& end : description.endEffectors) {
    if (end.id == PrRobotDescription::kToolRecordId) {
      EXPECT_FLOAT_EQ(end.point[2], pumagl::kToolLength);
    }
  }
}

TEST(RobotWidgetGeometry, DrawnToolIsWhereTheModelPutsIt) {
  RecordingConsole console;
  auto view = makeView(console);
  view->resize(600, 600);
  std::vector<PrVector> poses = posesWithinLimits(*view->model(), 20, 16);
  PrVector bent(6);
  const float angles[6] = {0, -45, 135, 0, 45, 0};
  for (int j = 0; j < 6; ++j) bent[j] = angles[j];
  poses.insert(poses.begin(), bent);
  int marksSeen = 0;
  for (const PrVector& q : poses) {
    view->setJointPositions(q);
    const QPointF model = project(*view, modelToolPoint(q));
    const PrVector3 tool = view->linkToWorld(5, PrVector3(0, 0, pumagl::kToolLength));
    const QPointF drawn = project(*view, tool);
    EXPECT_LT(std::hypot(model.x() - drawn.x(), model.y() - drawn.y()), 2.0)
        << "pose " << q[1] << " " << q[2];
    // The tool's orange mark is drawn there, unless the arm hides it.
    float depth = 0;
    const unsigned name = view->pick(int(drawn.x()), int(drawn.y()), depth);
    if (name != 6 || depth < -eyeCoordinates(*view, tool)[2] - 0.013f) continue;
    const QImage image = view->snapshot();
    const QRgb c = image.pixel(drawn.toPoint());
    EXPECT_TRUE(qRed(c) > 150 && qRed(c) > qGreen(c) + 30 && qGreen(c) > qBlue(c))
        << "pose " << q[1] << " " << q[2] << ": " << qRed(c) << " " << qGreen(c) << " " << qBlue(c);
    ++marksSeen;
  }
  EXPECT_GT(marksSeen, 5);
}

TEST(RobotWidgetGeometry, DefaultCameraHoldsEveryPoseInWideAndTallViews) {
  RecordingConsole console;
  auto view = makeView(console);
  const std::vector<PrVector> poses = posesWithinLimits(*view->model(), 300, 7);
  for (const QSize size : {QSize(800, 400), QSize(300, 700)}) {
    view->resize(size);
    view->snapshot();
    view->resetEyeFrame();
    for (const PrVector& q : poses) {
      view->setJointPositions(q);
      // The link origins, the tool and the pedestal's rim, with the meshes' girth.
      std::vector<PrVector3> points = {view->linkToWorld(5, PrVector3(0, 0, pumagl::kToolLength)),
                                       view->linkToWorld(-1, PrVector3(0.22f, 0, 0)),
                                       view->linkToWorld(-1, PrVector3(-0.22f, 0, 0))};
      for (int link = 0; link < 6; ++link) points.push_back(view->linkToWorld(link, PrVector3()));
      for (const PrVector3& p : points) {
        const QPointF at = project(*view, p);
        const double margin = 0.08 / pixelPitch(*view, -eyeCoordinates(*view, p)[2]);
        EXPECT_TRUE(at.x() > margin && at.x() < size.width() - 1 - margin && at.y() > margin &&
                    at.y() < size.height() - 1 - margin)
            << size.width() << "x" << size.height() << " pose " << q[0] << " " << q[1] << " " << q[2]
            << " at " << at.x() << ", " << at.y();
      }
    }
  }
}

TEST(RobotWidgetGeometry, NoLinkShowsNearlyBlackInAnyPoseOrTurn) {
  RecordingConsole console;
  auto view = makeView(console);
  // The middle of each link's mesh, in the frame that moves it (link − 1):
  // the camera sees there the side that faces it.
  const std::pair<int, PrVector3> samples[] = {
      {-1, PrVector3(0, 0, 0.3f)},          {0, PrVector3(0, 0, -0.05f)},  {1, PrVector3(0.2f, 0, 0)},
      {2, PrVector3(puma::kA3, -0.25f, 0)}, {3, PrVector3(0, 0, -0.055f)}, {4, PrVector3(0, 0, 0)},
      {5, PrVector3(0.021f, 0, 0.12f)}};
  int checked = 0;
  for (const PrVector& q : posesWithinLimits(*view->model(), 12, 3)) {
    view->setJointPositions(q);
    for (int turn = 0; turn < 4; ++turn) {
      view->rotateRight();
      const QImage image = view->snapshot();
      for (const auto& [frame, local] : samples) {
        const QPoint at = project(*view, view->linkToWorld(frame, local)).toPoint();
        float depth = 0;
        if (!QRect(QPoint(), view->size()).contains(at) ||
            view->pick(at.x(), at.y(), depth) != unsigned(frame + 1))
          continue;
        EXPECT_GT(qGray(image.pixel(at)), 55)
            << "link " << frame + 1 << " pose " << q[1] << " " << q[2] << " turn " << turn;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
