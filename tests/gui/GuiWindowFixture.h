// The main window against a stand-in servo: the test plays the servo side of
// the console's queues, so it both feeds the window's read-outs and decodes
// every request a window action makes the console send.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <ostream>
#include <vector>

#include "GuiTestEnvironment.h"
#include "StandInConfiguration.h"
#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "gui/Gui.h"
#include "libpuma/RobotModelFactory.h"
#include "matrix/PrTransform.h"
#include "utility/MesgQueue.h"

// Failures print the text, not its bytes.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Where the frame that a row's operational target names (in the window's
// units) takes a point, computed independently by the robot model of that type.
inline PrVector3 targetFrameMaps(int robotType, const PrVector& rowArguments, PrVector3 point) {
  std::unique_ptr<IRobotModel> model = createRobotModel(robotType);
  PrVector config(rowArguments);
  model->configToRadians(config, config);
  PrTransform frame;
  model->configToFrame(config, frame);
  return frame * point;
}

struct StandInArm {
  int robotType;
  int dof;
  int numConfigParms;
  std::vector<int> obstacleIds;
  bool lineEnabled = false;
  float line[6] = {-0.5f, 0, 0.5f, 0.5f, 0, 0.5f};
};

class GuiWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();
    m_agent = std::make_unique<UiAgent>();
    m_servo = std::make_unique<ServoAgent>();
    m_console = std::make_unique<TextUI>(m_servo.get());
    sendConfiguration({3, 6, 7, {}});
    m_gui = std::make_unique<Gui>(*m_console);
    refresh();
  }

  void TearDown() override {
    m_gui.reset();
    m_console.reset();
    m_servo.reset();
    m_agent.reset();
    MesgQueue::releaseAllCollections();
  }

  // A SERVO_CONFIG: joint limits +-160 degrees, operational bounds +-1000,
  // vmax 1.5, obstacles with the given ids.
  void sendConfiguration(const StandInArm& arm) {
    ServoConfiguration config =
        standInConfiguration(arm.robotType, arm.dof, arm.numConfigParms, 160.0f, 1000.0f, 0.5f);
    for (int id : arm.obstacleIds) config.obstacles.push_back({id, PrVector3(0.5f, 0.25f, 0.125f), 0.1f});
    setLine(config.line, PrVector3(arm.line), PrVector3(arm.line + 3));
    config.line.enabled = arm.lineEnabled ? 1 : 0;
    CMsg msg;
    writeServoConfiguration(msg, config);
    m_agent->reply(msg, 2);
  }

  // A state reply such as SERVO_Q or SERVO_X, with the given values.
  void sendState(int type, const std::vector<float>& values) {
    CMsg msg;
    msg.setType(type);
    msg.writeFloats(values.data(), static_cast<int>(values.size()));
    m_agent->reply(msg, 2);
  }

  // Lets the console take the servo's messages and the window re-synchronise.
  void refresh() {
    m_console->pollServoMessages();
    m_gui->updateCaption();
    drainRequests();
  }

  void drainRequests() {
    while (m_agent->poll()) m_agent->read();
  }

  // The last int of every request sent since the last drain (for an
  // obstacle request, the obstacle's id).
  std::vector<int> requestInts() {
    std::vector<int> ints;
    while (m_agent->poll()) {
      CMappedMsg msg = m_agent->read();
      int last = -1;
      while (msg.position() + 4 <= msg.length()) last = msg.readInt();
      ints.push_back(last);
    }
    return ints;
  }

  template <typename T>
  T* child(const QString& name) {
    T* widget = m_gui->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QLineEdit* field(const QString& name) { return child<QLineEdit>(name); }
  QString status() { return m_gui->statusBar()->currentMessage(); }

  void chooseMode(int row, const char* mode) {
    auto* combo = child<QComboBox>(QString("controlMode_%1").arg(row));
    combo->setCurrentIndex(combo->findText(mode));
    m_gui->set_controlMode();
  }
  // Types the text and presses Return, as a user does.
  void typeInto(const QString& name, const QString& text) {
    QLineEdit* edit = field(name);
    edit->setText(text);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit, &press);
  }
  // Moves the keyboard focus away from the field.
  void leave(const QString& name) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field(name), &out);
  }

  std::unique_ptr<UiAgent> m_agent;
  std::unique_ptr<ServoAgent> m_servo;
  std::unique_ptr<TextUI> m_console;
  std::unique_ptr<Gui> m_gui;
};
