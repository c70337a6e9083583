// The window's helpers around the control rows: the alternate parameter
// dialog, the copy and paste buttons, and the virtual line box.
#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "GuiWindowFixture.h"
#include "gui/TransformDialog.h"
#include "libpuma/IRobotModel.h"
#include "protocol/ConstantType.h"

namespace {

class GuiWindowTools : public GuiWindowTest {
 protected:
  // Runs act on the modal transform dialog once it is up; m_dialogSeen tells whether one came.
  void onDialog(const std::function<void(TransformDialog&)>& act) {
    m_dialogSeen = false;
    QTimer::singleShot(0, [this, act] {
      auto* dialog = qobject_cast<TransformDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      m_dialogSeen = true;
      act(*dialog);
    });
  }
  static void typeInDialog(TransformDialog& dialog, const char* tab, const char* page, const char* name,
                           const char* text) {
    auto* tabs = dialog.findChild<QTabWidget*>(tab);
    tabs->setCurrentWidget(dialog.findChild<QWidget*>(page));
    dialog.findChild<QLineEdit*>(name)->setText(text);
  }
  static QString dialogText(TransformDialog& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(name)->text();
  }

  // The points of every "setline" request since the last drain; "delline" gives an empty entry.
  std::vector<std::vector<float>> lineRequests() {
    std::vector<std::vector<float>> lines;
    while (m_agent->poll()) {
      CMappedMsg msg = m_agent->read();
      if (msg.getType() != UI_CONSTANT) continue;
      const int code = msg.readInt();
      if (code == constantNumber(ConstantType::kDelLine)) lines.emplace_back();
      if (code != constantNumber(ConstantType::kSetLine)) continue;
      std::vector<float> points(6);
      msg.readFloats(points.data(), 6);
      lines.push_back(points);
    }
    return lines;
  }

  bool m_dialogSeen = false;
};

TEST_F(GuiWindowTools, AltParmsEditsTheEnabledRowsTargetAsAFrame) {
  chooseMode(0, "goto");
  const char* target[] = {"0.3", "0.2", "0.4", "1", "0", "0", "0"};
  for (int k = 0; k < 7; ++k) typeInto(QString("controlArg_0_%1").arg(k), target[k]);
  EXPECT_TRUE(child<QPushButton>("altParms")->isEnabled());

  // The dialog opens on the row's frame; it is given a quarter turn about z and moved.
  QString shownX;
  onDialog([&](TransformDialog& dialog) {
    shownX = dialogText(dialog, "cart_x");
    typeInDialog(dialog, "translationTab", "cart_page", "cart_x", "0.5");
    typeInDialog(dialog, "rotationTab", "aa_page", "aa_theta", "90");
    typeInDialog(dialog, "rotationTab", "aa_page", "aa_ux", "0");
    typeInDialog(dialog, "rotationTab", "aa_page", "aa_uz", "1");
    QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
  });
  QTest::mouseClick(child<QPushButton>("altParms"), Qt::LeftButton);
  ASSERT_TRUE(m_dialogSeen);
  EXPECT_EQ(shownX, "0.300");
  EXPECT_TRUE(requestInts().empty()) << "the dialog sends nothing";

  // Independent check: the row's new quaternion target turns x onto y.
  const PrVector& args = m_gui->rowArguments(0);
  ASSERT_EQ(args.size(), 7);
  const PrVector3 moved = targetFrameMaps(3, args, PrVector3(1, 0, 0));
  EXPECT_NEAR(moved[0], 0.5f, 1e-4f);
  EXPECT_NEAR(moved[1], 1.2f, 1e-4f);
  EXPECT_NEAR(moved[2], 0.4f, 1e-4f);
  EXPECT_EQ(field("controlArg_0_0")->text(), "0.5") << "the field shows the new target";

  // Start sends the target the dialog made.
  QTest::mouseClick(child<QPushButton>("controlStart_0"), Qt::LeftButton);
  EXPECT_TRUE(status().startsWith("goto 0.5 0.2 0.4 0.7 0.0 0.0 0.7")) << status().toStdString();
}

TEST_F(GuiWindowTools, AltParmsCancelledOrOutsideOperationalModesChangesNothing) {
  chooseMode(0, "goto");
  typeInto("controlArg_0_0", "0.3");
  const PrVector before = m_gui->rowArguments(0);
  onDialog([](TransformDialog& dialog) {
    typeInDialog(dialog, "translationTab", "cart_page", "cart_x", "0.9");
    QTest::mouseClick(dialog.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
  });
  m_gui->showAltParms();
  ASSERT_TRUE(m_dialogSeen);
  EXPECT_EQ(m_gui->rowArguments(0), before);
  EXPECT_EQ(field("controlArg_0_0")->text(), "0.3");

  // A joint mode has no frame to edit: no dialog opens.
  chooseMode(0, "jmove");
  EXPECT_FALSE(child<QPushButton>("altParms")->isEnabled());
  onDialog([](TransformDialog& dialog) { dialog.reject(); });
  m_gui->showAltParms();
  QApplication::processEvents();
  EXPECT_FALSE(m_dialogSeen);
}

TEST_F(GuiWindowTools, CopiedJointRowPastesIntoAnotherRowAndStartsFromThere) {
  sendState(SERVO_Q, {10, -20.04f, 30, 0, 45.25f, -90});
  refresh();
  refresh();  // the getter shows what the previous refresh asked for
  ASSERT_EQ(field("qOut_4")->text(), "45.3");

  QTest::mouseClick(child<QPushButton>("copy_q"), Qt::LeftButton);
  child<QRadioButton>("controlEnable_1")->setChecked(true);
  chooseMode(1, "jmove");
  field("controlArg_1_7")->setText("7");
  field("controlArg_0_0")->setText("5");
  QTest::mouseClick(child<QPushButton>("pasteF2"), Qt::LeftButton);
  EXPECT_TRUE(requestInts().empty()) << "pasting sends nothing";
  for (int k = 0; k < 7; ++k)
    EXPECT_EQ(field(QString("controlArg_1_%1").arg(k))->text(), field(QString("qOut_%1").arg(k))->text())
        << k;
  EXPECT_EQ(field("controlArg_1_7")->text(), "7") << "the eighth field is left alone";
  EXPECT_EQ(field("controlArg_0_0")->text(), "5") << "the other rows are left alone";

  QTest::mouseClick(child<QPushButton>("controlStart_1"), Qt::LeftButton);
  EXPECT_EQ(status(), "jmove 10.0 -20.0 30.0 0.0 45.3 -90.0");
  EXPECT_EQ(requestInts().size(), 1u);
}

TEST_F(GuiWindowTools, CopiedOperationalRowPastesIntoEveryRowOnItsOwnButton) {
  sendState(SERVO_X, {0.25f, -0.5f, 0.75f, 1, 0, 0, 0});
  refresh();
  refresh();
  QTest::mouseClick(child<QPushButton>("copy_x"), Qt::LeftButton);
  const char* buttons[] = {"pasteF1", "pasteF2", "pasteF3", "pasteF4"};
  for (int row = 0; row < 4; ++row) {
    QTest::mouseClick(child<QPushButton>(buttons[row]), Qt::LeftButton);
    EXPECT_EQ(field(QString("controlArg_%1_2").arg(row))->text(), field("xOut_2")->text()) << row;
    EXPECT_EQ(field(QString("controlArg_%1_3").arg(row))->text(), field("xOut_3")->text()) << row;
  }
  EXPECT_EQ(field("controlArg_3_0")->text(), field("xOut_0")->text());
  EXPECT_FALSE(field("controlArg_3_0")->text().isEmpty());
}

TEST_F(GuiWindowTools, LineBoxSendsStoredPointsThenFieldEditsThenDelline) {
  auto* toggle = child<QCheckBox>("lineToggle");
  EXPECT_FALSE(toggle->isChecked());
  EXPECT_FALSE(field("line_0_0")->isEnabled());

  // Checking sends the console's stored points, not what the fields hold.
  field("line_0_0")->setText("0.25");
  QTest::mouseClick(toggle, Qt::LeftButton);
  EXPECT_EQ(status(), "setline -0.5 0 0.5 0.5 0 0.5");
  EXPECT_EQ(lineRequests(), std::vector<std::vector<float>>({{-0.5f, 0, 0.5f, 0.5f, 0, 0.5f}}));
  EXPECT_TRUE(field("line_1_2")->isEnabled());
  EXPECT_TRUE(child<QLabel>("lineLabel_0")->isEnabled());

  // The servo reports the line; the fields show it.
  sendConfiguration({3, 6, 7, {}, true});
  refresh();
  EXPECT_TRUE(toggle->isChecked());
  EXPECT_EQ(field("line_0_0")->text(), "-0.50");

  // An unchanged field sends nothing; a changed one sends all six fields as typed.
  typeInto("line_0_1", "0.00");
  EXPECT_TRUE(lineRequests().empty());
  typeInto("line_1_2", "0.8");
  EXPECT_EQ(status(), "setline -0.50 0.00 0.50 0.50 0.00 0.8");
  EXPECT_EQ(lineRequests(), std::vector<std::vector<float>>({{-0.5f, 0, 0.5f, 0.5f, 0, 0.8f}}));

  // Unchecking deletes the line and disables the fields.
  QTest::mouseClick(toggle, Qt::LeftButton);
  EXPECT_EQ(status(), "delline");
  EXPECT_EQ(lineRequests().size(), 1u);
  EXPECT_FALSE(field("line_0_0")->isEnabled());
  EXPECT_FALSE(child<QLabel>("lineLabel_1")->isEnabled());
}

}  // namespace
