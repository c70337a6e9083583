// Gui: the main window, the console's graphical front end.
//
// Every action becomes a console command line run through TextUI's
// processCommand, and every value shown is read from the console's copy of
// the servo state, so the window works alike in one process or against a
// remote servo. Everything here runs on the GUI thread.
#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "matrix/PrTransform.h"
#include "matrix/PrVector.h"
#include "servo/ScopeSample.h"

class IRobotModel;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class RobotWidget;
class ScopeDock;
class TextUI;
namespace Ui {
class Gui;
}

class Gui : public QMainWindow {
  Q_OBJECT

 public:
  using FieldGroup = std::vector<QLineEdit*>;
  enum ArgKind { kNoArgs, kJointArgs, kConfigArgs, kConfigElbowArgs };
  static ArgKind argKind(int modeCode);

  explicit Gui(TextUI& console, QWidget* parent = nullptr);
  ~Gui() override;

  // The number formats: a field's validator decides how a value is written.
  static void showValue(QLineEdit* field, float value, bool adjustEnabled);
  static void showVector(const FieldGroup& group, const PrVector& vector, bool adjustEnabled);
  static bool fieldDiffers(const QLineEdit* field, float value);
  static bool groupDiffers(const FieldGroup& group, const PrVector& vector);

  RobotWidget* robotWidget() const;
  // The live scope (a dock, hidden at first) and the servo's ticks it draws
  // (nullptr when the servo runs in another process).
  ScopeDock* scopeDock() const { return m_scope; }
  void attachScope(ScopeRing* ring);
  // The split between the view and the form, as kept in "config"; a window
  // shown without a restored split gives the form its minimum width and the
  // view the rest.
  QByteArray viewSplitState() const;
  bool restoreViewSplit(const QByteArray& state);
  // The argument values of a control row, in display units.
  const PrVector& rowArguments(int row) const { return m_rowArgs[row]; }
  const QStringList& rowTitles(int row) const { return m_rowTitles[row]; }

 public slots:
  void init();
  void updateCaption();
  void floatMode();
  void startplot();
  void stopplot();
  void startgather();
  void stopgather();
  void set_vmax();
  void set_amax();
  void set_wmax();
  void set_rho0();
  void set_eta();
  void set_sbound();
  void set_springk();
  void set_simSpeed();
  void set_qmin();
  void set_qmax();
  void set_dqmax();
  void set_ddqmax();
  void set_q0();
  void set_kj();
  void add_obstacle();
  void update_obstacle(int row, int col);
  void select_obstacle(int id);
  void select_obstacle();
  void del_obstacle();
  void toggle_line();
  void set_line();
  void set_jlimit();
  void set_friction();
  void set_torqlim();
  void exitButton();
  void openGripper();
  void closeGripper();
  void set_kp();
  void set_kv();
  void set_controlArg();
  void set_controlEnable();
  void set_controlMode();
  void startControl();
  void set_robotType(int index);
  void showAltParms();
  void copy_q_clicked();
  void copy_dq_clicked();
  void copy_x_clicked();
  void pasteF1_clicked();
  void pasteF2_clicked();
  void pasteF3_clicked();
  void pasteF4_clicked();
  void languageChange();
  // Control menu: the console's reload.
  void reloadPlugin();

 protected:
  void showEvent(QShowEvent* event) override;
  // Runs a field's slot when the field is left and on Return, whatever its
  // text: the slot itself decides whether anything is sent.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs one command line; the status bar shows the success message (or the
  // command) on success and the console's error text on failure.
  bool sendCommand(const QString& command, const QString& successMessage = QString());
  FieldGroup collectGroup(const char* prefix) const;
  void wireSignals();
  void onLeaveOrReturn(QLineEdit* field, void (Gui::*slot)());
  int screenFramePeriodMs() const;
  void addControlMenu();
  void addScopeDock();
  void setScalar(QLineEdit* field, float consoleValue, const char* word);
  void setJointGroup(const FieldGroup& group, const PrVector& consoleValue, const char* word);
  void setGains(const FieldGroup& group, bool kv);
  void copyOutputs(const FieldGroup& group);
  void paste(int row);
  int enabledRow() const;
  int modeCode(int row) const;
  void resynchronise();
  void synchroniseObstacles();
  void showRowArguments(int row);
  void fetchDisplayData();
  static void setRealValidator(QLineEdit* field, double low, double high, int decimals);
  static void setIntValidator(QLineEdit* field, int low, int high);

  TextUI& m_console;
  std::unique_ptr<Ui::Gui> m_ui;
  FieldGroup m_qOut, m_dqOut, m_tauOut, m_xOut, m_fOut;
  FieldGroup m_qmin, m_qmax, m_dqmax, m_ddqmax, m_q0, m_kj;
  FieldGroup m_kp, m_kv;
  std::vector<QRadioButton*> m_controlEnable;
  std::vector<QComboBox*> m_controlMode;
  std::vector<QPushButton*> m_controlStart;
  std::vector<FieldGroup> m_controlArg;
  std::vector<QLabel*> m_controlTitle;
  std::vector<FieldGroup> m_line;
  std::vector<PrVector> m_rowArgs;
  std::vector<QStringList> m_rowTitles;
  std::vector<int> m_modeCodes;
  std::vector<int> m_robotTypeCodes;
  IRobotModel* m_model = nullptr;  // owned by the robot view
  int m_lastUpdateCount = 0;
  QButtonGroup* m_rowGroup = nullptr;
  QTimer* m_refreshTimer = nullptr;
  std::map<const QObject*, void (Gui::*)()> m_fieldSlots;
  bool m_splitSet = false;
  ScopeDock* m_scope = nullptr;
  // Scratch for the refresh, kept to avoid reallocating every tick.
  PrVector m_q, m_dq, m_tau, m_x, m_force, m_display;
};
