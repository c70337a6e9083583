#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTabWidget>
#include <cmath>

#include "GuiTestEnvironment.h"
#include "gui/TransformDialog.h"
#include "matrix/PrMatrix.h"
#include "utility/Angles.h"

namespace {

class TransformDialogTest : public ::testing::Test {
 protected:
  // Types into a field the way a user does: the page is current first.
  void type(const char* tab, const char* page, const char* name, const char* text) {
    auto* tabs = dialog.findChild<QTabWidget*>(tab);
    tabs->setCurrentWidget(dialog.findChild<QWidget*>(page));
    dialog.findChild<QLineEdit*>(name)->setText(text);
  }
  void typeRotation(const char* page, const char* name, const char* text) {
    type("rotationTab", page, name, text);
  }
  void typeTranslation(const char* page, const char* name, const char* text) {
    type("translationTab", page, name, text);
  }
  QString text(const char* name) { return dialog.findChild<QLineEdit*>(name)->text(); }

  // The application must exist before the dialog is built.
  struct ApplicationReady {
    ApplicationReady() { guiApplication(); }
  } ready;
  TransformDialog dialog;
};

void expectQuaternion(const PrQuaternion& q, float w, float x, float y, float z) {
  EXPECT_NEAR(q.w, w, 1e-5f);
  EXPECT_NEAR(q.v[0], x, 1e-5f);
  EXPECT_NEAR(q.v[1], y, 1e-5f);
  EXPECT_NEAR(q.v[2], z, 1e-5f);
}

TEST_F(TransformDialogTest, StartsAtIdentityWithEveryPageWritten) {
  EXPECT_EQ(dialog.windowTitle(), "Transformation");
  EXPECT_EQ(text("mat_x0"), "1.000");
  EXPECT_EQ(text("mat_y0"), "0.000");
  EXPECT_EQ(text("quat_w"), "1.000");
  EXPECT_EQ(text("cyl_theta"), "0.00");
  EXPECT_EQ(dialog.findChild<QTabWidget*>("rotationTab")->count(), 6);
  EXPECT_EQ(dialog.findChild<QTabWidget*>("translationTab")->count(), 3);
}

TEST_F(TransformDialogTest, AcceptWithoutEditsReturnsTheFrameUnchanged) {
  // A frame whose printed fields would round: only edits may change it.
  PrQuaternion q;
  q.fromEulerZYZ(0.123456f, 0.654321f, -1.1111f);
  const PrTransform frame(q, PrVector3(0.12345f, -0.98765f, 0.55555f));
  dialog.setTransform(frame);
  const PrTransform back = dialog.transform();
  EXPECT_EQ(back.rotation.w, frame.rotation.w);
  EXPECT_EQ(back.rotation.v, frame.rotation.v);
  EXPECT_EQ(back.translation, frame.translation);
}

TEST_F(TransformDialogTest, ZeroMatrixColumnGivesIdentity) {
  PrQuaternion q;
  q.fromEulerZXZ(0.5f, 0.4f, 0.3f);
  dialog.setTransform(PrTransform(q, PrVector3()));
  typeRotation("mat_page", "mat_y0", "0");
  typeRotation("mat_page", "mat_y1", "0");
  typeRotation("mat_page", "mat_y2", "0");
  expectQuaternion(dialog.transform().rotation, 1, 0, 0, 0);
  EXPECT_EQ(text("mat_y1"), "1.000");
}

TEST_F(TransformDialogTest, MatrixColumnsAreScaledToUnitLength) {
  // A 90° turn about z typed with columns of length 2, 3 and 0.5.
  const char* values[9][2] = {{"mat_x0", "0"},  {"mat_x1", "2"}, {"mat_x2", "0"},
                              {"mat_y0", "-3"}, {"mat_y1", "0"}, {"mat_y2", "0"},
                              {"mat_z0", "0"},  {"mat_z1", "0"}, {"mat_z2", "0.5"}};
  for (auto& v : values) typeRotation("mat_page", v[0], v[1]);
  const float h = std::sqrt(0.5f);
  expectQuaternion(dialog.transform().rotation, h, 0, 0, h);
}

TEST_F(TransformDialogTest, AxisAngleWithZeroAxisTurnsAboutX) {
  typeRotation("aa_page", "aa_ux", "0");
  typeRotation("aa_page", "aa_uy", "0");
  typeRotation("aa_page", "aa_uz", "0");
  typeRotation("aa_page", "aa_theta", "90");
  const float h = std::sqrt(0.5f);
  expectQuaternion(dialog.transform().rotation, h, h, 0, 0);
  EXPECT_EQ(text("aa_ux"), "1.000");
  EXPECT_EQ(text("aa_theta"), "90.00");
}

TEST_F(TransformDialogTest, AxisAngleTwoUsesTheVectorLengthAsAngle) {
  typeRotation("aa2_page", "aa2_ax", "0");
  typeRotation("aa2_page", "aa2_ay", "0");
  typeRotation("aa2_page", "aa2_az", "180");
  expectQuaternion(dialog.transform().rotation, 0, 0, 0, 1);
  typeRotation("aa2_page", "aa2_az", "0");
  expectQuaternion(dialog.transform().rotation, 1, 0, 0, 0);
}

TEST_F(TransformDialogTest, QuaternionOfLengthTwoIsHalved) {
  typeRotation("quat_page", "quat_w", "1");
  typeRotation("quat_page", "quat_vx", "1");
  typeRotation("quat_page", "quat_vy", "1");
  typeRotation("quat_page", "quat_vz", "1");
  expectQuaternion(dialog.transform().rotation, 0.5f, 0.5f, 0.5f, 0.5f);
  EXPECT_EQ(text("quat_vy"), "0.500");
}

TEST_F(TransformDialogTest, ZeroOrUnreadableQuaternionGivesIdentity) {
  typeRotation("quat_page", "quat_w", "0");
  typeRotation("quat_page", "quat_vx", "0");
  typeRotation("quat_page", "quat_vy", "0");
  typeRotation("quat_page", "quat_vz", "0");
  expectQuaternion(dialog.transform().rotation, 1, 0, 0, 0);
  typeRotation("quat_page", "quat_w", "nan");
  typeRotation("quat_page", "quat_vx", "1e39");
  expectQuaternion(dialog.transform().rotation, 1, 0, 0, 0);
}

TEST_F(TransformDialogTest, EulerPagesAgreeWithTheQuaternionConversions) {
  typeRotation("ea_page", "ea_psi", "30");
  typeRotation("ea_page", "ea_theta", "40");
  typeRotation("ea_page", "ea_phi", "50");
  PrQuaternion expected;
  const float d = kPiF / 180;
  expected.fromEulerZXZ(30 * d, 40 * d, 50 * d);
  const PrQuaternion got = dialog.transform().rotation;
  expectQuaternion(got, expected.w, expected.v[0], expected.v[1], expected.v[2]);
  // The y-convention page now shows the same rotation.
  PrQuaternion fromY;
  fromY.fromEulerZYZ(text("eay_psi").toFloat() * d, text("eay_theta").toFloat() * d,
                     text("eay_phi").toFloat() * d);
  EXPECT_GT(std::fabs(fromY.dot(got)), 0.9999f);
}

TEST_F(TransformDialogTest, CylindricalAngleComesBackWithinHalfTurn) {
  typeTranslation("cyl_page", "cyl_r", "2");
  typeTranslation("cyl_page", "cyl_theta", "270");
  typeTranslation("cyl_page", "cyl_z", "1");
  const PrTransform frame = dialog.transform();
  EXPECT_NEAR(frame.translation[0], 0, 1e-5f);
  EXPECT_NEAR(frame.translation[1], -2, 1e-5f);
  EXPECT_NEAR(frame.translation[2], 1, 1e-5f);
  EXPECT_EQ(text("cyl_theta"), "-90.00");
  EXPECT_EQ(text("cart_y"), "-2.000");
}

TEST_F(TransformDialogTest, SphericalCoordinatesGiveCartesianPoint) {
  typeTranslation("sph_page", "sph_r", "2");
  typeTranslation("sph_page", "sph_theta", "90");
  typeTranslation("sph_page", "sph_phi", "90");
  const PrTransform frame = dialog.transform();
  EXPECT_NEAR(frame.translation[0], 0, 1e-5f);
  EXPECT_NEAR(frame.translation[1], 2, 1e-5f);
  EXPECT_NEAR(frame.translation[2], 0, 1e-5f);
}

TEST_F(TransformDialogTest, OnlyThePageCurrentAtTheLastEditCounts) {
  typeTranslation("cart_page", "cart_x", "5");
  typeTranslation("sph_page", "sph_r", "1");  // last edit: the spherical page, φ and θ still 0
  const PrTransform frame = dialog.transform();
  EXPECT_NEAR(frame.translation[0], 0, 1e-5f);
  EXPECT_NEAR(frame.translation[2], 1, 1e-5f);
}

}  // namespace
