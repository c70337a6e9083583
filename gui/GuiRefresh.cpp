// The window's periodic refresh, its re-synchronisation with the servo's
// parameters and the control rows.
#include <QComboBox>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "app/TextUI.h"
#include "gui/Gui.h"
#include "gui/RobotWidget.h"
#include "gui/ScopeDock.h"
#include "gui/TransformDialog.h"
#include "gui/ui_Gui.h"
#include "libpuma/IRobotModel.h"

namespace {
QString cellText(float value) { return QString::number(value, 'f', 2); }
int decimalsFor(float low, float high) { return std::fabs(low) < 10 && std::fabs(high) < 10 ? 2 : 1; }

// The model's configuration parameters of args (display units) as a frame.
PrTransform argsToFrame(const IRobotModel& model, const PrVector& args) {
  PrVector config(model.m_numConfigParms);
  for (int j = 0; j < config.size() && j < args.size(); ++j) config[j] = args[j];
  model.configToRadians(config, config);
  PrTransform frame;
  model.configToFrame(config, frame);
  return frame;
}
PrVector frameToArgs(const IRobotModel& model, const PrTransform& frame) {
  PrVector config(model.m_numConfigParms);
  model.frameToConfig(frame, config);
  model.configToDegrees(config, config);
  return config;
}
}  // namespace

int Gui::enabledRow() const {
  for (size_t r = 0; r < m_controlEnable.size(); ++r)
    if (m_controlEnable[r]->isChecked()) return static_cast<int>(r);
  return 0;
}

int Gui::modeCode(int row) const {
  const int index = m_controlMode[static_cast<size_t>(row)]->currentIndex();
  return index >= 0 && index < static_cast<int>(m_modeCodes.size()) ? m_modeCodes[static_cast<size_t>(index)]
                                                                    : 0;
}

void Gui::showRowArguments(int row) {
  showVector(m_controlArg[static_cast<size_t>(row)], m_rowArgs[static_cast<size_t>(row)], false);
}

void Gui::updateCaption() {
  m_console.getQ(m_q);
  m_console.getDq(m_dq);
  m_console.getTau(m_tau);
  m_console.getX(m_x);
  PrVector6 force;
  m_console.getWForce(force);
  const float time = m_console.getCurTime();
  showVector(m_qOut, m_q, true);
  showVector(m_dqOut, m_dq, true);
  showVector(m_tauOut, m_tau, true);
  showVector(m_xOut, m_x, true);
  showVector(m_fOut, force, true);
  const QString timeText = QString::number(time, 'f', 2);
  if (m_ui->simTime->text() != timeText) m_ui->simTime->setText(timeText);

  const int count = m_console.updateCount();
  if (count != m_lastUpdateCount) {
    m_lastUpdateCount = count;
    resynchronise();
  }
  fetchDisplayData();
  // The fields above repaint themselves where their text changed and the view
  // redraws when what it shows changed; a repaint of the whole window here
  // would cost a full frame of the form ten times a second for nothing.
  robotWidget()->setJointPositions(m_q);
  showGoal();
}

// The goal travels with the scope's ticks, which carry the servo's qd, xd
// and mode (a servo in another process sends none: no goal is drawn).
void Gui::showGoal() {
  ScopeSample tick;
  if (!m_model || !m_scope || !m_scope->newestTick(tick)) return;
  robotWidget()->setGoal(goalOfTick(tick, *m_model, m_console.configuration().line));
}

void Gui::resynchronise() {
  const ServoConfiguration config = m_console.configuration();
  const size_t rows = m_controlEnable.size();
  std::vector<PrTransform> savedFrames(rows);
  std::vector<int> savedElbow(rows, 0);
  std::vector<bool> saved(rows, false);
  for (size_t r = 0; r < rows && m_model; ++r) {
    const ArgKind kind = argKind(modeCode(static_cast<int>(r)));
    if (kind != kConfigArgs && kind != kConfigElbowArgs) continue;
    const PrVector& args = m_rowArgs[r];
    if (kind == kConfigElbowArgs && args.size() > 0) savedElbow[r] = static_cast<int>(args[args.size() - 1]);
    savedFrames[r] = argsToFrame(*m_model, args);
    saved[r] = true;
  }

  const IRobotModel* oldModel = m_model;
  if (robotWidget()->robotType() != config.robotType || !m_model) {
    if (IRobotModel* model = robotWidget()->switchRobotType(config.robotType)) m_model = model;
  }
  for (size_t i = 0; i < m_robotTypeCodes.size(); ++i)
    if (m_robotTypeCodes[i] == config.robotType) m_ui->robotType->setCurrentIndex(static_cast<int>(i));

  showValue(m_ui->vmax, config.vmax, true);
  showValue(m_ui->amax, config.amax, true);
  showValue(m_ui->wmax, config.wmax, true);
  showValue(m_ui->rho0, config.rho0, true);
  showValue(m_ui->eta, config.eta, true);
  showValue(m_ui->sbound, config.sbound, true);
  showValue(m_ui->springk, config.springK, false);
  showValue(m_ui->simSpeed, config.simSpeed, false);
  m_ui->jlimit->setChecked(config.jlimit);
  m_ui->friction->setChecked(config.friction);
  m_ui->torqlim->setChecked(config.torqlim);
  showVector(m_qmin, config.qmin, true);
  showVector(m_qmax, config.qmax, true);
  showVector(m_dqmax, config.dqmax, true);
  showVector(m_ddqmax, config.ddqmax, true);
  showVector(m_q0, config.q0, true);
  showVector(m_kj, config.kj, true);

  for (int k = 0; k < config.xmin.size() && k < config.xmax.size() && k < static_cast<int>(m_xOut.size());
       ++k)
    setRealValidator(m_xOut[static_cast<size_t>(k)], -100000, 100000,
                     decimalsFor(config.xmin[k], config.xmax[k]));

  synchroniseObstacles();

  m_ui->lineToggle->setChecked(config.line.enabled != 0);
  for (int i = 0; i < 3; ++i) {
    showValue(m_line[0][static_cast<size_t>(i)], config.line.p1[i], false);
    showValue(m_line[1][static_cast<size_t>(i)], config.line.p2[i], false);
  }
  robotWidget()->setLine(config.line);

  set_controlMode();

  if (m_model != oldModel && m_model) {
    for (size_t r = 0; r < rows; ++r) {
      if (!saved[r]) continue;
      PrVector& args = m_rowArgs[r];
      const PrVector config6 = frameToArgs(*m_model, savedFrames[r]);
      for (int j = 0; j < config6.size() && j < args.size(); ++j) args[j] = config6[j];
      if (argKind(modeCode(static_cast<int>(r))) == kConfigElbowArgs && args.size() > 0)
        args[args.size() - 1] = static_cast<float>(savedElbow[r]);
      showRowArguments(static_cast<int>(r));
    }
  }
}

void Gui::synchroniseObstacles() {
  QTableWidget* table = m_ui->obstacleTable;
  const std::vector<Obstacle> obstacles = m_console.configuration().obstacles;
  RobotWidget* view = robotWidget();
  const QSignalBlocker blocker(table);  // the console's values are no user edits
  // Spheres the list no longer holds go first, then the rows are filled:
  // removing by a row's old label after filling could take away the sphere
  // that an earlier row now carries (deleting obstacle 0 of 0, 1, 2 moves 1
  // and 2 up a row).
  auto listed = [&](int id) {
    return std::any_of(obstacles.begin(), obstacles.end(), [id](const Obstacle& o) { return o.id == id; });
  };
  for (const Obstacle& shown : view->spheres())
    if (!listed(shown.id)) view->removeSphere(shown.id);
  const int count = static_cast<int>(obstacles.size());
  while (table->rowCount() > count) table->removeRow(table->rowCount() - 1);
  for (int i = 0; i < count; ++i) {
    const Obstacle& obstacle = obstacles[static_cast<size_t>(i)];
    if (i >= table->rowCount()) table->insertRow(i);
    QTableWidgetItem* header = table->verticalHeaderItem(i);
    if (!header || header->text().toInt() != obstacle.id)
      table->setVerticalHeaderItem(i, new QTableWidgetItem(QString::number(obstacle.id)));
    const float values[] = {obstacle.center[0], obstacle.center[1], obstacle.center[2], obstacle.radius};
    for (int col = 0; col < 4; ++col) {
      const QString text = cellText(values[col]);
      if (!table->item(i, col)) {
        table->setItem(i, col, new QTableWidgetItem(text));
      } else if (table->item(i, col)->text() != text) {
        table->item(i, col)->setText(text);
      }
    }
    view->setSphere(obstacle);
  }
  select_obstacle();
}

void Gui::fetchDisplayData() {
  RobotWidget* view = robotWidget();
  const int joints = m_model ? m_model->dof() : 6;
  if (view->displayOption(RobotWidget::kDisplayEmassOnEndEffector) ||
      view->displayOption(RobotWidget::kDisplayEmassOnContactPoint)) {
    m_console.getEMass(m_display);
    view->setEMassData(m_display);
  } else if (view->displayOption(RobotWidget::kDisplayMsi) ||
             view->displayOption(RobotWidget::kDisplayMaxVelocity)) {
    m_console.getMsi(m_display);
    view->setMsiData(m_display);
  } else if (view->displayOption(RobotWidget::kDisplayAccLimit)) {
    m_console.getAccLimit(m_display);
    if (m_display.size() == 3 * (1 << joints)) view->setAccLimitData(m_display);
  } else if (view->displayOption(RobotWidget::kDisplaySForceLimit)) {
    m_console.getSForceLimit(m_display);
    if (m_display.size() == 3 * (1 << joints)) view->setVelLimitData(m_display);
  }
}

void Gui::set_controlMode() {
  const ServoConfiguration config = m_console.configuration();
  const int enabled = enabledRow();
  for (size_t r = 0; r < m_controlEnable.size(); ++r) {
    const FieldGroup& fields = m_controlArg[r];
    QStringList& titles = m_rowTitles[r];
    titles.clear();
    const ArgKind kind = argKind(modeCode(static_cast<int>(r)));
    int n = 0;
    PrVector args = m_rowArgs[r];
    if (kind == kJointArgs) {
      n = std::min(config.dof, static_cast<int>(fields.size()));
      for (int j = 0; j < n; ++j) {
        titles << "q" + QString::number(j + 1);
        const float low = j < config.qmin.size() ? config.qmin[j] : -360;
        const float high = j < config.qmax.size() ? config.qmax[j] : 360;
        setRealValidator(fields[static_cast<size_t>(j)], low, high, 1);
      }
    } else if ((kind == kConfigArgs || kind == kConfigElbowArgs) && m_model) {
      n = std::min(m_model->m_numConfigParms, static_cast<int>(fields.size()) - 1);
      PrVector low(n), high(n);
      for (int j = 0; j < n; ++j) {
        low[j] = m_model->m_configMin.size() > j ? m_model->m_configMin[j] : -100000;
        high[j] = m_model->m_configMax.size() > j ? m_model->m_configMax[j] : 100000;
      }
      m_model->configToDegrees(low, low);
      m_model->configToDegrees(high, high);
      for (int j = 0; j < n; ++j) {
        if (config.xmin.size() == n && config.xmax.size() == n) {
          low[j] = config.xmin[j];
          high[j] = config.xmax[j];
        }
        titles << m_model->m_configNames[j];
        setRealValidator(fields[static_cast<size_t>(j)], low[j], high[j], decimalsFor(low[j], high[j]));
      }
      if (static_cast<int>(r) == enabled) {
        PrVector read(n);
        for (int j = 0; j < n; ++j) read[j] = fields[static_cast<size_t>(j)]->text().toFloat();
        m_model->normalizeConfig(read);
        args = read;
        if (kind == kConfigElbowArgs) {
          PrVector elbow(1);
          elbow[0] = static_cast<float>(fields[static_cast<size_t>(n)]->text().toInt());
          args.append(elbow);
        }
      }
      if (kind == kConfigElbowArgs) {
        ++n;
        titles << "elbow";
        setIntValidator(fields[static_cast<size_t>(n - 1)], 0, 8);
      }
    }
    for (size_t j = static_cast<size_t>(n); j < fields.size(); ++j) {
      const QValidator* old = fields[j]->validator();
      fields[j]->setValidator(nullptr);
      delete old;
    }
    PrVector sized(n);
    for (int j = 0; j < n && j < args.size(); ++j) sized[j] = args[j];
    m_rowArgs[r] = sized;
    if (static_cast<int>(r) == enabled && kind != kJointArgs && kind != kNoArgs)
      showRowArguments(static_cast<int>(r));
  }
  set_controlEnable();
  set_controlArg();
}

void Gui::set_controlEnable() {
  if (m_controlEnable.empty()) return;
  const int enabled = enabledRow();
  for (size_t r = 0; r < m_controlEnable.size(); ++r) {
    const bool on = static_cast<int>(r) == enabled;
    m_controlMode[r]->setEnabled(on);
    m_controlStart[r]->setEnabled(on);
    for (QLineEdit* field : m_controlArg[r]) field->setEnabled(on && field->validator() != nullptr);
  }
  const QStringList& titles = m_rowTitles[static_cast<size_t>(enabled)];
  for (size_t k = 0; k < m_controlTitle.size(); ++k) {
    const QString title = static_cast<int>(k) < titles.size() ? titles[static_cast<int>(k)] : QString();
    if (m_controlTitle[k]->text() != title) m_controlTitle[k]->setText(title);
  }
  const int code = modeCode(enabled);
  PrVector gains;
  m_console.getKp(code, gains);
  showVector(m_kp, gains, true);
  m_console.getKv(code, gains);
  showVector(m_kv, gains, true);
  const ArgKind kind = argKind(code);
  m_ui->altParms->setEnabled(kind == kConfigArgs || kind == kConfigElbowArgs);
}

void Gui::set_controlArg() {
  for (size_t r = 0; r < m_controlEnable.size(); ++r) {
    PrVector& args = m_rowArgs[r];
    const FieldGroup& fields = m_controlArg[r];
    for (int j = 0; j < args.size() && j < static_cast<int>(fields.size()); ++j)
      if (fieldDiffers(fields[static_cast<size_t>(j)], args[j]))
        args[j] = fields[static_cast<size_t>(j)]->text().toFloat();
    showRowArguments(static_cast<int>(r));
  }
}

void Gui::startControl() {
  set_controlMode();
  const int row = enabledRow();
  QString command = m_controlMode[static_cast<size_t>(row)]->currentText();
  const FieldGroup& fields = m_controlArg[static_cast<size_t>(row)];
  for (int k = 0; k < m_rowArgs[static_cast<size_t>(row)].size(); ++k)
    command += " " + fields[static_cast<size_t>(k)]->text();
  sendCommand(command);
}

void Gui::showAltParms() {
  const int row = enabledRow();
  const ArgKind kind = argKind(modeCode(row));
  if ((kind != kConfigArgs && kind != kConfigElbowArgs) || !m_model) return;
  PrVector& args = m_rowArgs[static_cast<size_t>(row)];
  TransformDialog dialog(this);
  dialog.setTransform(argsToFrame(*m_model, args));
  if (dialog.exec() != QDialog::Accepted) return;
  const PrVector config = frameToArgs(*m_model, dialog.transform());
  for (int j = 0; j < config.size() && j < args.size(); ++j) args[j] = config[j];
  showRowArguments(row);
}
