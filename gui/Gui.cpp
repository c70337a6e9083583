#include "gui/Gui.h"

#include <QButtonGroup>
#include <QDoubleValidator>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLocale>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/Configuration.h"
#include "app/TextUI.h"
#include "gui/RobotWidget.h"
#include "gui/ui_Gui.h"
#include "protocol/ControlModeTable.h"
#include "servo/Session.h"
#include "utility/PrAssert.h"

namespace {
struct NamedCode {
  const char* name;
  int code;
};
// The control rows' menu order: joint modes first, then the operational ones.
constexpr ControlMode kModeMenu[] = {kFloat,  kOpen,  kNjhold,  kJhold,  kNjmove,  kJmove,
                                     kNjgoto, kJgoto, kNjtrack, kJtrack, kNxtrack, kXtrack,
                                     kNhold,  kHold,  kNgoto,   kGoto,   kNtrack,  kTrack,
                                     kPfmove, kLine,  kProj1,   kProj2,  kProj3,   kNoControl};
static_assert(std::size(kModeMenu) == kNumControlModes, "the menu offers every control mode");
constexpr NamedCode kRobotTypes[] = {{"1-DOF", 0},
                                     {"3-DOF", 1},
                                     {"4-DOF", 2},
                                     {"6-DOF (quaternions)", 3},
                                     {"6-DOF (euler angle)", 4},
                                     {"6-DOF (euler angle y)", 5},
                                     {"6-DOF (axis angle)", 6}};
constexpr int kStartRobotType = 3;

}  // namespace

Gui::ArgKind Gui::argKind(int modeCode) {
  switch (controlModeGoal(modeCode)) {
    case GoalKind::kJoint:
      return kJointArgs;
    case GoalKind::kConfigElbow:
      return kConfigElbowArgs;
    case GoalKind::kConfig:
      return kConfigArgs;
    case GoalKind::kNone:
      break;
  }
  return kNoArgs;
}

Gui::Gui(TextUI& console, QWidget* parent)
    : QMainWindow(parent), m_console(console), m_ui(std::make_unique<Ui::Gui>()) {
  m_ui->setupUi(this);
  languageChange();
  wireSignals();
  addControlMenu();
  addScopeDock();
  init();
}

Gui::~Gui() = default;

RobotWidget* Gui::robotWidget() const { return m_ui->robotWidget->view(); }

QByteArray Gui::viewSplitState() const { return m_ui->viewSplitter->saveState(); }

bool Gui::restoreViewSplit(const QByteArray& state) {
  m_splitSet = m_ui->viewSplitter->restoreState(state);
  return m_splitSet;
}

void Gui::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_splitSet) return;
  m_splitSet = true;
  const int form = m_ui->frame10->minimumSizeHint().width();
  const int total = m_ui->viewSplitter->width();
  m_ui->viewSplitter->setSizes({std::max(total - form, 0), form});
}

void Gui::languageChange() {
  // The form carries every text and tool tip; only the caption is set here.
  setWindowTitle("KORVEX Simulator");
}

Gui::FieldGroup Gui::collectGroup(const char* prefix) const {
  FieldGroup group;
  for (int i = 0;; ++i) {
    auto* field = findChild<QLineEdit*>(QString::asprintf("%s_%d", prefix, i));
    if (!field) return group;
    group.push_back(field);
  }
}

void Gui::init() {
  m_qOut = collectGroup("qOut");
  m_dqOut = collectGroup("dqOut");
  m_tauOut = collectGroup("tauOut");
  m_xOut = collectGroup("xOut");
  m_fOut = collectGroup("fOut");
  m_qmin = collectGroup("qmin");
  m_qmax = collectGroup("qmax");
  m_dqmax = collectGroup("dqmax");
  m_ddqmax = collectGroup("ddqmax");
  m_q0 = collectGroup("q0");
  m_kj = collectGroup("kj");
  m_kp = collectGroup("kp");
  m_kv = collectGroup("kv");
  for (int r = 0;; ++r) {
    auto* enable = findChild<QRadioButton*>(QString::asprintf("controlEnable_%d", r));
    if (!enable) break;
    m_controlEnable.push_back(enable);
    m_controlMode.push_back(findChild<QComboBox*>(QString::asprintf("controlMode_%d", r)));
    m_controlStart.push_back(findChild<QPushButton*>(QString::asprintf("controlStart_%d", r)));
    m_controlArg.push_back(collectGroup(QString::asprintf("controlArg_%d", r).toLatin1().constData()));
  }
  for (int k = 0;; ++k) {
    auto* title = findChild<QLabel*>(QString::asprintf("controlTitle_%d", k));
    if (!title) break;
    m_controlTitle.push_back(title);
  }
  m_line = {collectGroup("line_0"), collectGroup("line_1")};
  m_rowArgs.assign(m_controlEnable.size(), PrVector());
  m_rowTitles.assign(m_controlEnable.size(), QStringList());

  statusBar()->showMessage("Ready");
  statusBar()->addPermanentWidget(m_ui->imode);
  statusBar()->addPermanentWidget(m_ui->simTime);

  // The view's own commands (the spring, dragged spheres and line ends, its
  // display options) go through the same console as the window's.
  robotWidget()->setConsole(&m_console);
  m_model = robotWidget()->switchRobotType(kStartRobotType);
  connect(robotWidget(), &RobotWidget::selectSphere, this, qOverload<int>(&Gui::select_obstacle));

  m_rowGroup = new QButtonGroup(this);
  m_rowGroup->setExclusive(true);
  for (QRadioButton* enable : m_controlEnable) m_rowGroup->addButton(enable);

  for (QWidget* w : std::initializer_list<QWidget*>{m_ui->springk, m_ui->springkLabel, m_ui->simSpeed,
                                                    m_ui->simSpeedLabel, m_ui->friction, m_ui->torqlim})
    w->setEnabled(true);
  m_ui->imode->setText("Simulator");

  // The view takes what the window gains; the form keeps its width.
  m_ui->viewSplitter->setStretchFactor(0, 1);
  m_ui->viewSplitter->setStretchFactor(1, 0);
  // A compact form leaves the room to the view.
  for (QLayout* layout : m_ui->frame10->findChildren<QLayout*>()) {
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
  }
  // Four obstacles show without scrolling, the columns share the width.
  QTableWidget* table = m_ui->obstacleTable;
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table->verticalHeader()->setMinimumSectionSize(table->fontMetrics().height() + 4);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                          4 * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth());

  for (const FieldGroup* group : {&m_qOut, &m_dqOut, &m_tauOut, &m_kp, &m_kv})
    for (QLineEdit* field : *group) setRealValidator(field, -100000, 100000, 1);
  for (const FieldGroup* group : {&m_xOut, &m_fOut, &m_kj, &m_line[0], &m_line[1]})
    for (QLineEdit* field : *group) setRealValidator(field, -100000, 100000, 2);
  for (const FieldGroup* group : {&m_qmin, &m_qmax, &m_dqmax, &m_ddqmax, &m_q0})
    for (QLineEdit* field : *group) setRealValidator(field, -360, 360, 1);
  for (QLineEdit* field : {m_ui->vmax, m_ui->amax, m_ui->wmax, m_ui->rho0, m_ui->sbound})
    setRealValidator(field, 0, 100000, 2);
  setRealValidator(m_ui->eta, 0, 100000, 3);
  setRealValidator(m_ui->springk, 0, 100000, 1);
  setRealValidator(m_ui->simSpeed, 0, 100000, 3);
  setIntValidator(m_ui->cgripper, -4095, 4096);
  setIntValidator(m_ui->ogripper, -4095, 4096);

  for (ControlMode mode : kModeMenu) m_modeCodes.push_back(mode);
  for (QComboBox* combo : m_controlMode)
    for (ControlMode mode : kModeMenu) combo->addItem(controlModeWord(mode));
  set_controlMode();
  for (const NamedCode& type : kRobotTypes) {
    m_ui->robotType->addItem(type.name);
    m_robotTypeCodes.push_back(type.code);
  }
  m_ui->robotType->setCurrentIndex(kStartRobotType);

  std::vector<QWidget*> order;
  for (size_t r = 0; r < m_controlEnable.size(); ++r) {
    order.push_back(m_controlMode[r]);
    order.push_back(m_controlStart[r]);
    order.insert(order.end(), m_controlArg[r].begin(), m_controlArg[r].end());
  }
  for (const FieldGroup* group : {&m_kp, &m_kv}) order.insert(order.end(), group->begin(), group->end());
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_ui->startGather, m_ui->stopGather, m_ui->gatherFile, m_ui->startPlot,
                                       m_ui->stopPlot, m_ui->plotFile, m_ui->gripperClose, m_ui->gripperOpen})
    order.push_back(w);
  for (const FieldGroup* group : {&m_qmin, &m_qmax, &m_dqmax, &m_ddqmax, &m_q0, &m_kj})
    order.insert(order.end(), group->begin(), group->end());
  for (QWidget* w : std::initializer_list<QWidget*>{m_ui->vmax, m_ui->amax, m_ui->wmax, m_ui->rho0, m_ui->eta,
                                                    m_ui->sbound, m_ui->cgripper, m_ui->ogripper,
                                                    m_ui->springk, m_ui->simSpeed, m_ui->jlimit,
                                                    m_ui->friction, m_ui->torqlim, m_ui->lineToggle})
    order.push_back(w);
  for (const FieldGroup& point : m_line) order.insert(order.end(), point.begin(), point.end());
  for (QWidget* w : std::initializer_list<QWidget*>{m_ui->addObstacle, m_ui->delObstacle, m_ui->robotType,
                                                    m_ui->floatButton, m_ui->quitButton})
    order.push_back(w);
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

  // A period of 0 asks for the read-outs as fast as they can be seen: once
  // per frame of the screen. The view then draws every pose they bring.
  robotWidget()->setRefreshPeriod(refreshRateGraphic);
  m_refreshTimer = new QTimer(this);
  connect(m_refreshTimer, &QTimer::timeout, this, &Gui::updateCaption);
  if (refreshRateCaption > 0) m_refreshTimer->start(refreshRateCaption);
  if (refreshRateCaption == 0) m_refreshTimer->start(screenFramePeriodMs());
}

int Gui::screenFramePeriodMs() const {
  const QScreen* shown = screen();
  const double hertz = shown && shown->refreshRate() > 1 ? shown->refreshRate() : 60.0;
  return std::max(1, static_cast<int>(1000.0 / hertz));
}

void Gui::wireSignals() {
  Ui::Gui& ui = *m_ui;
  connect(ui.floatButton, &QPushButton::clicked, this, &Gui::floatMode);
  connect(ui.startPlot, &QPushButton::clicked, this, &Gui::startplot);
  connect(ui.stopPlot, &QPushButton::clicked, this, &Gui::stopplot);
  connect(ui.startGather, &QPushButton::clicked, this, &Gui::startgather);
  connect(ui.stopGather, &QPushButton::clicked, this, &Gui::stopgather);
  onLeaveOrReturn(ui.vmax, &Gui::set_vmax);
  onLeaveOrReturn(ui.amax, &Gui::set_amax);
  onLeaveOrReturn(ui.wmax, &Gui::set_wmax);
  onLeaveOrReturn(ui.rho0, &Gui::set_rho0);
  onLeaveOrReturn(ui.eta, &Gui::set_eta);
  onLeaveOrReturn(ui.sbound, &Gui::set_sbound);
  onLeaveOrReturn(ui.springk, &Gui::set_springk);
  onLeaveOrReturn(ui.simSpeed, &Gui::set_simSpeed);
  const std::pair<const char*, void (Gui::*)()> jointSlots[] = {
      {"qmin", &Gui::set_qmin},     {"qmax", &Gui::set_qmax}, {"dqmax", &Gui::set_dqmax},
      {"ddqmax", &Gui::set_ddqmax}, {"q0", &Gui::set_q0},     {"kj", &Gui::set_kj},
      {"kp", &Gui::set_kp},         {"kv", &Gui::set_kv},     {"line_0", &Gui::set_line},
      {"line_1", &Gui::set_line}};
  for (const auto& [prefix, slot] : jointSlots)
    for (QLineEdit* field : collectGroup(prefix)) onLeaveOrReturn(field, slot);
  connect(ui.addObstacle, &QPushButton::clicked, this, &Gui::add_obstacle);
  connect(ui.obstacleTable, &QTableWidget::cellChanged, this, &Gui::update_obstacle);
  connect(ui.obstacleTable, &QTableWidget::itemSelectionChanged, this, qOverload<>(&Gui::select_obstacle));
  connect(ui.delObstacle, &QPushButton::clicked, this, &Gui::del_obstacle);
  connect(ui.lineToggle, &QCheckBox::toggled, this, &Gui::toggle_line);
  connect(ui.jlimit, &QCheckBox::clicked, this, &Gui::set_jlimit);
  connect(ui.friction, &QCheckBox::clicked, this, &Gui::set_friction);
  connect(ui.torqlim, &QCheckBox::clicked, this, &Gui::set_torqlim);
  connect(ui.quitButton, &QPushButton::clicked, this, &Gui::exitButton);
  connect(ui.gripperOpen, &QPushButton::clicked, this, &Gui::openGripper);
  connect(ui.gripperClose, &QPushButton::clicked, this, &Gui::closeGripper);
  for (int r = 0;; ++r) {
    auto* enable = findChild<QRadioButton*>(QString::asprintf("controlEnable_%d", r));
    if (!enable) break;
    connect(enable, &QRadioButton::toggled, this, &Gui::set_controlEnable);
    connect(findChild<QComboBox*>(QString::asprintf("controlMode_%d", r)), &QComboBox::activated, this,
            &Gui::set_controlMode);
    connect(findChild<QPushButton*>(QString::asprintf("controlStart_%d", r)), &QPushButton::clicked, this,
            &Gui::startControl);
    for (QLineEdit* field : collectGroup(QString::asprintf("controlArg_%d", r).toLatin1().constData()))
      onLeaveOrReturn(field, &Gui::set_controlArg);
  }
  connect(ui.robotType, &QComboBox::activated, this, &Gui::set_robotType);
  connect(ui.altParms, &QPushButton::clicked, this, &Gui::showAltParms);
  connect(ui.copy_q, &QPushButton::clicked, this, &Gui::copy_q_clicked);
  connect(ui.copy_dq, &QPushButton::clicked, this, &Gui::copy_dq_clicked);
  connect(ui.copy_x, &QPushButton::clicked, this, &Gui::copy_x_clicked);
  connect(ui.pasteF1, &QPushButton::clicked, this, &Gui::pasteF1_clicked);
  connect(ui.pasteF2, &QPushButton::clicked, this, &Gui::pasteF2_clicked);
  connect(ui.pasteF3, &QPushButton::clicked, this, &Gui::pasteF3_clicked);
  connect(ui.pasteF4, &QPushButton::clicked, this, &Gui::pasteF4_clicked);
}

void Gui::onLeaveOrReturn(QLineEdit* field, void (Gui::*slot)()) {
  // QLineEdit's own signals leave out text its validator rejects (an emptied
  // field), so the events are watched instead.
  m_fieldSlots[field] = slot;
  field->installEventFilter(this);
}

bool Gui::eventFilter(QObject* watched, QEvent* event) {
  const auto found = m_fieldSlots.find(watched);
  if (found == m_fieldSlots.end() || sessionEnded) return QMainWindow::eventFilter(watched, event);
  bool run = event->type() == QEvent::FocusOut;
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    run = key == Qt::Key_Return || key == Qt::Key_Enter;
  }
  if (run) (this->*found->second)();
  return QMainWindow::eventFilter(watched, event);
}

bool Gui::sendCommand(const QString& command, const QString& successMessage) {
  char reply[260] = "";
  const QByteArray text = command.toLatin1();
  const bool ok = m_console.processCommand(text.constData(), reply);
  if (!ok) {
    statusBar()->showMessage(QString::fromLatin1(reply));
  } else {
    statusBar()->showMessage(successMessage.isEmpty() ? command : successMessage);
  }
  return ok;
}

void Gui::setRealValidator(QLineEdit* field, double low, double high, int decimals) {
  auto* validator = new QDoubleValidator(low, high, decimals, field);
  validator->setNotation(QDoubleValidator::StandardNotation);
  validator->setLocale(QLocale::c());
  const QValidator* old = field->validator();
  field->setValidator(validator);
  delete old;
}

void Gui::setIntValidator(QLineEdit* field, int low, int high) {
  auto* validator = new QIntValidator(low, high, field);
  validator->setLocale(QLocale::c());
  const QValidator* old = field->validator();
  field->setValidator(validator);
  delete old;
}

namespace {
// The text of value in the field's format; false when the field has no validator.
bool formatFor(const QLineEdit* field, float value, QString& text) {
  const QValidator* validator = field->validator();
  if (!validator) return false;
  if (const auto* real = qobject_cast<const QDoubleValidator*>(validator)) {
    text = QString::number(value, 'f', real->decimals());
    return true;
  }
  const auto* integer = qobject_cast<const QIntValidator*>(validator);
  PR_ASSERT(integer != nullptr);
  text = QString::number(static_cast<long long>(std::trunc(value)));
  return true;
}
}  // namespace

void Gui::showValue(QLineEdit* field, float value, bool adjustEnabled) {
  QString text;
  const bool usable = formatFor(field, value, text);
  if (adjustEnabled && field->isEnabled() != usable) field->setEnabled(usable);
  if (field->text() != text) field->setText(text);
}

void Gui::showVector(const FieldGroup& group, const PrVector& vector, bool adjustEnabled) {
  for (size_t i = 0; i < group.size(); ++i) {
    if (static_cast<int>(i) < vector.size()) {
      showValue(group[i], vector[static_cast<int>(i)], adjustEnabled);
    } else {
      if (!group[i]->text().isEmpty()) group[i]->clear();
      if (group[i]->isEnabled()) group[i]->setEnabled(false);
    }
  }
}

bool Gui::fieldDiffers(const QLineEdit* field, float value) {
  QString text;
  if (!formatFor(field, value, text)) return true;
  return field->text() != text;
}

bool Gui::groupDiffers(const FieldGroup& group, const PrVector& vector) {
  if (static_cast<int>(group.size()) != vector.size()) return true;
  for (size_t i = 0; i < group.size(); ++i)
    if (fieldDiffers(group[i], vector[static_cast<int>(i)])) return true;
  return false;
}
