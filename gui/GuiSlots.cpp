// The window's command-sending slots.
#include <QStatusBar>
#include <QTableWidget>
#include <algorithm>

#include "app/TextUI.h"
#include "gui/Gui.h"
#include "gui/RobotWidget.h"
#include "gui/ui_Gui.h"
#include "protocol/ConstantType.h"
#include "protocol/ControlModeTable.h"

namespace {
using C = ConstantType;
QString word(ConstantType type) { return QString(constantWord(type)); }
QString joinTexts(const QString& word, const Gui::FieldGroup& group, size_t count) {
  QString command = word;
  for (size_t i = 0; i < count && i < group.size(); ++i) command += " " + group[i]->text();
  return command;
}
QString cellText(float value) { return QString::number(value, 'f', 2); }
}  // namespace

void Gui::floatMode() { sendCommand(controlModeWord(kFloat), "Float Mode"); }
void Gui::startplot() { sendCommand("startplot " + m_ui->plotFile->text()); }
void Gui::stopplot() { sendCommand("stopplot"); }
void Gui::startgather() { sendCommand("startgather " + m_ui->gatherFile->text()); }
void Gui::stopgather() { sendCommand("stopgather"); }

void Gui::setScalar(QLineEdit* field, float consoleValue, const char* word) {
  if (fieldDiffers(field, consoleValue)) sendCommand(QString(word) + " " + field->text());
}

void Gui::set_vmax() { setScalar(m_ui->vmax, m_console.configuration().vmax, constantWord(C::kVmax)); }
void Gui::set_amax() { setScalar(m_ui->amax, m_console.configuration().amax, constantWord(C::kAmax)); }
void Gui::set_wmax() { setScalar(m_ui->wmax, m_console.configuration().wmax, constantWord(C::kWmax)); }
void Gui::set_rho0() { setScalar(m_ui->rho0, m_console.configuration().rho0, constantWord(C::kRho0)); }
void Gui::set_eta() { setScalar(m_ui->eta, m_console.configuration().eta, constantWord(C::kEta)); }
void Gui::set_sbound() {
  setScalar(m_ui->sbound, m_console.configuration().sbound, constantWord(C::kSbound));
}
void Gui::set_springk() {
  setScalar(m_ui->springk, m_console.configuration().springK, constantWord(C::kSpringK));
}
void Gui::set_simSpeed() {
  setScalar(m_ui->simSpeed, m_console.configuration().simSpeed, constantWord(C::kSimSpeed));
}

void Gui::setJointGroup(const FieldGroup& group, const PrVector& consoleValue, const char* word) {
  if (groupDiffers(group, consoleValue))
    sendCommand(joinTexts(word, group, static_cast<size_t>(m_console.dof())));
}

void Gui::set_qmin() { setJointGroup(m_qmin, m_console.configuration().qmin, constantWord(C::kQmin)); }
void Gui::set_qmax() { setJointGroup(m_qmax, m_console.configuration().qmax, constantWord(C::kQmax)); }
void Gui::set_dqmax() { setJointGroup(m_dqmax, m_console.configuration().dqmax, constantWord(C::kDqmax)); }
void Gui::set_ddqmax() {
  setJointGroup(m_ddqmax, m_console.configuration().ddqmax, constantWord(C::kDdqmax));
}
void Gui::set_q0() { setJointGroup(m_q0, m_console.configuration().q0, constantWord(C::kQ0)); }
void Gui::set_kj() { setJointGroup(m_kj, m_console.configuration().kj, constantWord(C::kKj)); }

void Gui::add_obstacle() {
  QTableWidget* table = m_ui->obstacleTable;
  std::vector<int> used;
  for (int row = 0; row < table->rowCount(); ++row)
    used.push_back(table->verticalHeaderItem(row) ? table->verticalHeaderItem(row)->text().toInt() : -1);
  int id = 0;
  while (std::find(used.begin(), used.end(), id) != used.end()) ++id;
  const int row = table->rowCount();
  {
    // Filling the new row is no user edit.
    const QSignalBlocker blocker(table);
    table->insertRow(row);
    table->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(id)));
    const float cells[] = {0.5f, 0.0f, 0.0f, 0.2f};
    for (int col = 0; col < 4; ++col) table->setItem(row, col, new QTableWidgetItem(cellText(cells[col])));
  }
  select_obstacle(id);
  QString command = word(C::kSetObstacle) + " " + QString::number(id);
  for (int col = 0; col < 4; ++col) command += " " + table->item(row, col)->text();
  sendCommand(command);
}

void Gui::update_obstacle(int row, int /*col*/) {
  QTableWidget* table = m_ui->obstacleTable;
  if (row < 0 || row >= table->rowCount() || !table->verticalHeaderItem(row)) return;
  QString cells[4];
  for (int col = 0; col < 4; ++col) cells[col] = table->item(row, col) ? table->item(row, col)->text() : "";
  const std::vector<Obstacle> obstacles = m_console.configuration().obstacles;
  bool differs = row >= static_cast<int>(obstacles.size());
  if (!differs) {
    const Obstacle& known = obstacles[static_cast<size_t>(row)];
    const float values[] = {known.center[0], known.center[1], known.center[2], known.radius};
    for (int col = 0; col < 4; ++col) differs = differs || cells[col] != cellText(values[col]);
  }
  if (!differs) return;
  QString command = "setobstacle " + table->verticalHeaderItem(row)->text();
  for (const QString& cell : cells) command += " " + cell;
  sendCommand(command);
}

void Gui::select_obstacle(int id) {
  QTableWidget* table = m_ui->obstacleTable;
  table->clearSelection();
  for (int row = 0; row < table->rowCount(); ++row) {
    if (table->verticalHeaderItem(row) && table->verticalHeaderItem(row)->text().toInt() == id) {
      table->selectionModel()->select(table->model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
}

void Gui::select_obstacle() {
  m_ui->delObstacle->setEnabled(!m_ui->obstacleTable->selectionModel()->selectedRows().isEmpty());
}

void Gui::del_obstacle() {
  QTableWidget* table = m_ui->obstacleTable;
  std::vector<int> rows;
  for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.rbegin(), rows.rend());
  for (int row : rows) {
    if (!table->verticalHeaderItem(row)) continue;
    sendCommand(word(C::kDelObstacle) + " " +
                QString::number(table->verticalHeaderItem(row)->text().toInt()));
  }
}

void Gui::toggle_line() {
  const bool checked = m_ui->lineToggle->isChecked();
  const ServoConfiguration config = m_console.configuration();
  if (checked && !config.line.enabled) {
    QString command = word(C::kSetLine);
    for (const PrVector3* point : {&config.line.p1, &config.line.p2})
      for (int i = 0; i < 3; ++i) command += " " + QString::number((*point)[i], 'g', 6);
    sendCommand(command);
  } else if (!checked && config.line.enabled) {
    sendCommand(word(C::kDelLine));
  }
  m_ui->lineLabel_0->setEnabled(checked);
  m_ui->lineLabel_1->setEnabled(checked);
  for (const FieldGroup& point : m_line)
    for (QLineEdit* field : point) field->setEnabled(checked);
}

void Gui::set_line() {
  if (!m_ui->lineToggle->isChecked()) return;
  const ServoConfiguration config = m_console.configuration();
  PrVector a(3), b(3);
  for (int i = 0; i < 3; ++i) {
    a[i] = config.line.p1[i];
    b[i] = config.line.p2[i];
  }
  if (!groupDiffers(m_line[0], a) && !groupDiffers(m_line[1], b)) return;
  QString command = word(C::kSetLine);
  for (const FieldGroup& point : m_line)
    for (QLineEdit* field : point) command += " " + field->text();
  sendCommand(command);
}

void Gui::set_jlimit() {
  sendCommand(word(C::kJlimit), m_ui->jlimit->isChecked() ? "Set Joint Limits On" : "Set Joint Limits Off");
}
void Gui::set_friction() {
  sendCommand(word(C::kFriction), m_ui->friction->isChecked() ? "Set Friction On" : "Set Friction Off");
}
void Gui::set_torqlim() {
  sendCommand(word(C::kTorqueLimit),
              m_ui->torqlim->isChecked() ? "Set Torque Limit On" : "Set Torque Limit Off");
}
void Gui::exitButton() { sendCommand("exit"); }
void Gui::openGripper() { sendCommand("gripper " + m_ui->ogripper->text()); }
void Gui::closeGripper() { sendCommand("gripper " + m_ui->cgripper->text()); }

void Gui::setGains(const FieldGroup& group, bool kv) {
  const int code = modeCode(enabledRow());
  PrVector gains;
  if (kv) {
    m_console.getKv(code, gains);
  } else {
    m_console.getKp(code, gains);
  }
  if (!groupDiffers(group, gains)) return;
  QString command = word(kv ? C::kKv : C::kKp) + " " + QString::number(code);
  for (QLineEdit* field : group)
    if (field->validator()) command += " " + field->text();
  sendCommand(command);
}

void Gui::set_kp() { setGains(m_kp, false); }
void Gui::set_kv() { setGains(m_kv, true); }

void Gui::set_robotType(int index) {
  if (index < 0 || index >= static_cast<int>(m_robotTypeCodes.size())) return;
  sendCommand(word(C::kRobotType) + " " + QString::number(m_robotTypeCodes[static_cast<size_t>(index)]));
}

namespace {
QString (&clipboardStrings())[7] {
  static QString strings[7];
  return strings;
}
}  // namespace

void Gui::copyOutputs(const FieldGroup& group) {
  for (size_t i = 0; i < 7; ++i) clipboardStrings()[i] = i < group.size() ? group[i]->text() : QString();
}
void Gui::copy_q_clicked() { copyOutputs(m_qOut); }
void Gui::copy_dq_clicked() { copyOutputs(m_dqOut); }
void Gui::copy_x_clicked() { copyOutputs(m_xOut); }

void Gui::paste(int row) {
  if (row >= static_cast<int>(m_controlArg.size())) return;
  const FieldGroup& fields = m_controlArg[static_cast<size_t>(row)];
  for (size_t i = 0; i < 7 && i < fields.size(); ++i) fields[i]->setText(clipboardStrings()[i]);
}
void Gui::pasteF1_clicked() { paste(0); }
void Gui::pasteF2_clicked() { paste(1); }
void Gui::pasteF3_clicked() { paste(2); }
void Gui::pasteF4_clicked() { paste(3); }
