// Window actions and read-outs against the stand-in servo of GuiWindowFixture.h.
#include <memory>
#include <vector>

#include "GuiWindowFixture.h"
#include "gui/RobotWidget.h"
#include "libpuma/IRobotModel.h"

namespace {

TEST_F(GuiWindowTest, FormStartsAsDescribed) {
  EXPECT_EQ(m_gui->objectName(), "KORVEX_Simulator");
  EXPECT_EQ(m_gui->windowTitle(), "KORVEX Simulator");
  EXPECT_STREQ(m_gui->metaObject()->className(), "Gui");
  EXPECT_EQ(child<QComboBox>("robotType")->currentText(), "6-DOF (quaternions)");
  EXPECT_EQ(child<QComboBox>("controlMode_2")->count(), 24);
  EXPECT_EQ(child<QLabel>("imode")->text(), "Simulator");
  EXPECT_EQ(field("vmax")->text(), "1.50");
  EXPECT_EQ(field("eta")->text(), "5.500");
  EXPECT_EQ(field("qmax_5")->text(), "160.0");
  EXPECT_TRUE(child<QRadioButton>("controlEnable_0")->isChecked());
}

TEST_F(GuiWindowTest, FloatButtonSendsFloatAndSaysFloatMode) {
  QTest::mouseClick(child<QPushButton>("floatButton"), Qt::LeftButton);
  EXPECT_EQ(status(), "Float Mode");
  EXPECT_EQ(requestInts().size(), 1u);
}

TEST_F(GuiWindowTest, JointRowOfThreeJointArm) {
  sendConfiguration({1, 3, 3, {}});
  refresh();
  chooseMode(0, "jmove");
  EXPECT_EQ(m_gui->rowTitles(0), QStringList({"q1", "q2", "q3"}));
  EXPECT_EQ(child<QLabel>("controlTitle_2")->text(), "q3");
  EXPECT_EQ(child<QLabel>("controlTitle_3")->text(), "");
  for (int k = 0; k < 8; ++k) {
    QLineEdit* arg = field(QString("controlArg_0_%1").arg(k));
    EXPECT_EQ(arg->isEnabled(), k < 3) << k;
    EXPECT_EQ(arg->validator() != nullptr, k < 3) << k;
  }
  EXPECT_FALSE(field("qmin_3")->isEnabled());
  EXPECT_TRUE(field("qmin_3")->text().isEmpty());
}

TEST_F(GuiWindowTest, StartSendsModeWordWithShownValues) {
  sendConfiguration({1, 3, 3, {}});
  refresh();
  chooseMode(0, "jmove");
  typeInto("controlArg_0_0", "10");
  typeInto("controlArg_0_2", "-20.26");
  EXPECT_EQ(requestInts().size(), 0u) << "typing an argument sends nothing";
  EXPECT_EQ(field("controlArg_0_0")->text(), "10.0");
  QTest::mouseClick(child<QPushButton>("controlStart_0"), Qt::LeftButton);
  EXPECT_EQ(status(), "jmove 10.0 0.0 -20.3");
  EXPECT_FALSE(requestInts().empty());
}

TEST_F(GuiWindowTest, RejectedCommandShowsConsoleError) {
  field("plotFile")->setText("");
  QTest::mouseClick(child<QPushButton>("startPlot"), Qt::LeftButton);
  char reply[CommandDispatcher::kReplySize] = "";
  ASSERT_FALSE(m_console->processCommand("startplot ", reply));
  EXPECT_EQ(status(), QString::fromLatin1(reply));
  EXPECT_FALSE(status().isEmpty());
}

TEST_F(GuiWindowTest, ObstacleTableAddsFirstFreeIdAndDeletesBottomFirst) {
  sendConfiguration({3, 6, 7, {0, 1, 3}});
  refresh();
  auto* table = child<QTableWidget>("obstacleTable");
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->item(2, 3)->text(), "0.10");
  EXPECT_FALSE(child<QPushButton>("delObstacle")->isEnabled());

  QTest::mouseClick(child<QPushButton>("addObstacle"), Qt::LeftButton);
  EXPECT_EQ(status(), "setobstacle 2 0.50 0.00 0.00 0.20");
  EXPECT_EQ(table->verticalHeaderItem(3)->text(), "2");
  drainRequests();

  m_gui->select_obstacle(0);
  table->selectionModel()->select(table->model()->index(2, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_TRUE(child<QPushButton>("delObstacle")->isEnabled());
  QTest::mouseClick(child<QPushButton>("delObstacle"), Qt::LeftButton);
  EXPECT_EQ(requestInts(), std::vector<int>({3, 0}));
}

TEST_F(GuiWindowTest, ScalarFieldSendsOnlyWhenChanged) {
  typeInto("vmax", "1.50");
  EXPECT_TRUE(requestInts().empty());
  typeInto("vmax", "0.75");
  EXPECT_EQ(status(), "vmax 0.75");
  EXPECT_EQ(requestInts().size(), 1u);
}

TEST_F(GuiWindowTest, GotoTargetKeepsItsFrameOverRobotTypeChange) {
  chooseMode(0, "goto");
  EXPECT_EQ(m_gui->rowTitles(0).size(), 7);
  const char* target[] = {"0.3", "0.2", "0.4", "0.7", "0.7", "0", "0"};  // 90 degrees about x
  for (int k = 0; k < 7; ++k) typeInto(QString("controlArg_0_%1").arg(k), target[k]);
  m_gui->set_controlMode();

  sendConfiguration({4, 6, 6, {}});
  refresh();
  EXPECT_EQ(child<QComboBox>("robotType")->currentText(), "6-DOF (euler angle)");
  const PrVector& args = m_gui->rowArguments(0);
  ASSERT_EQ(args.size(), 6);

  // Independent check: the frame of the shown Euler parameters maps the
  // tool's y axis onto world z, offset by the target position.
  const PrVector3 moved = targetFrameMaps(4, args, PrVector3(0, 1, 0));
  EXPECT_NEAR(moved[0], 0.3f, 1e-3f);
  EXPECT_NEAR(moved[1], 0.2f, 1e-3f);
  EXPECT_NEAR(moved[2], 1.4f, 1e-3f);
}

TEST_F(GuiWindowTest, ViewCommandsReachTheServoThroughTheConsole) {
  // A display option of the 3D view that asks the servo for other data.
  m_gui->robotWidget()->toggleDisplayMaxVelocity(0);
  EXPECT_EQ(requestInts().size(), 1u) << "the view's command never reached the servo";
}

}  // namespace
