#include "ScenarioBench.h"

#include "app/ServoAgent.h"
#include "app/UiAgent.h"
#include "app/UiAgentLink.h"
#include "libpuma/PacingClock.h"
#include "protocol/ConstantType.h"
#include "protocol/ControlModeRequest.h"
#include "protocol/ControlModeTable.h"
#include "servo/Servo.h"
#include "servo/Session.h"
#include "servo/UnitConversion.h"
#include "utility/unitMsg.h"

namespace {

constexpr int kToolLink = 5;

}  // namespace

struct ScenarioBench::Parts {
  UiAgent uiAgent;
  ServoAgent servoAgent;
  UiAgentLink link{uiAgent};
  SteppingClock clock;
  std::unique_ptr<Servo> servo;
  bool ready = false;
};

ScenarioBench::ScenarioBench(const char* pluginPath) : ScenarioBench(loadControlPlugin(pluginPath)) {}

ScenarioBench::ScenarioBench(ControlPlugin plugin) : m_parts(std::make_unique<Parts>()) {
  beginSession();
  m_parts->servo = std::make_unique<Servo>(m_parts->link, std::move(plugin), &m_parts->clock);
  m_parts->ready = m_parts->servo->servoInit();
  drainReplies();
}

ScenarioBench::~ScenarioBench() { m_parts->servo.reset(); }

bool ScenarioBench::ready() const { return m_parts->ready; }
bool ScenarioBench::pluginLoaded() const { return m_parts->servo->plugin().loaded(); }
const ServoState& ScenarioBench::state() const { return m_parts->servo->state(); }

void ScenarioBench::request(CMsg& msg) {
  m_parts->servoAgent.send(msg);
  m_parts->servo->handleUiMessage();
  drainReplies();
}

void ScenarioBench::setMode(int mode) {
  CMsg msg;
  writeControlModeRequest(msg, mode);
  request(msg);
}

void ScenarioBench::setJointGoal(int mode, const float* degrees) {
  CMsg msg;
  writeControlModeRequest(msg, mode, degrees, state().dof);
  request(msg);
}

void ScenarioBench::setFrameGoal(int mode, const PrTransform& goal, int elbow) {
  const float config[7] = {goal.translation[0], goal.translation[1], goal.translation[2], goal.rotation.w,
                           goal.rotation.v[0],  goal.rotation.v[1],  goal.rotation.v[2]};
  CMsg msg;
  writeControlModeRequest(msg, mode, config, 7, elbow);
  request(msg);
}

void ScenarioBench::setConfigGoal(int mode, const float* config, int count, int elbow) {
  CMsg msg;
  writeControlModeRequest(msg, mode, config, count, elbow);
  request(msg);
}

void ScenarioBench::setRobotType(int type) {
  CMsg msg;
  msg.setType(UI_CONSTANT);
  msg.writeInt(constantNumber(ConstantType::kRobotType));
  msg.writeInt(type);
  request(msg);
}

void ScenarioBench::setObstacle(int id, float x, float y, float z, float radius) {
  const float values[4] = {x, y, z, radius};
  CMsg msg;
  msg.setType(UI_CONSTANT);
  msg.writeInt(constantNumber(ConstantType::kSetObstacle));
  msg.writeInt(id);
  msg.writeFloats(values, 4);
  request(msg);
}

void ScenarioBench::deleteObstacle(int id) {
  CMsg msg;
  msg.setType(UI_CONSTANT);
  msg.writeInt(constantNumber(ConstantType::kDelObstacle));
  msg.writeInt(id);
  request(msg);
}

void ScenarioBench::setLine(const float p1[3], const float p2[3]) {
  const float values[6] = {p1[0], p1[1], p1[2], p2[0], p2[1], p2[2]};
  CMsg msg;
  msg.setType(UI_CONSTANT);
  msg.writeInt(constantNumber(ConstantType::kSetLine));
  msg.writeFloats(values, 6);
  request(msg);
}

void ScenarioBench::deleteLine() {
  CMsg msg;
  msg.setType(UI_CONSTANT);
  msg.writeInt(constantNumber(ConstantType::kDelLine));
  request(msg);
}

void ScenarioBench::placeArm(const float* degrees) {
  Servo& servo = *m_parts->servo;
  PrVector q(6), dq(6);
  for (int i = 0; i < 6; ++i) q[i] = degrees[i] * kRadPerDeg;
  servo.robotDriver()->setState(q, dq);
  servo.updateState();
}

void ScenarioBench::kick(const float* degreesPerSecond) {
  Servo& servo = *m_parts->servo;
  PrVector q(6), dq(6);
  servo.robotDriver()->getJointPositions(q);
  for (int i = 0; i < 6; ++i) dq[i] = degreesPerSecond[i] * kRadPerDeg;
  servo.robotDriver()->setState(q, dq);
}

void ScenarioBench::pullTool(const float newtons[3]) {
  const ServoState& s = state();
  float values[3 + 6];
  for (int i = 0; i < 3; ++i) values[i] = s.T.translation[i];
  for (int i = 0; i < s.dof; ++i) values[3 + i] = s.q[i] / kRadPerDeg;
  CMsg point;
  point.setType(UI_SET_CONTACT_POINT);
  point.writeInt(kToolLink);
  point.writeFloats(values, 3 + s.dof);
  request(point);
  float target[3];
  for (int i = 0; i < 3; ++i) target[i] = s.T.translation[i] + newtons[i] / m_parts->servo->springK();
  CMsg pull;
  pull.setType(UI_APPLY_CONTACT_FORCE);
  pull.writeFloats(target, 3);
  request(pull);
}

void ScenarioBench::releaseTool() {
  CMsg msg;
  msg.setType(UI_REMOVE_CONTACT_FORCE);
  request(msg);
}

long long ScenarioBench::refusedTorqueTicks() const { return m_parts->servo->refusedTorqueTicks(); }

int ScenarioBench::run(double seconds, const std::function<void(const ServoState&)>& observe) {
  const int ticks = int(seconds * Servo::kRate + 0.5);
  Servo& servo = *m_parts->servo;
  for (int i = 0; i < ticks; ++i) {
    servo.handleUiMessage();
    servo.servoTick();
    servo.waitForTick();
    if (observe) observe(servo.state());
    if ((i & 255) == 255) drainReplies();  // keep the reply queue from filling up
  }
  drainReplies();
  m_ticks += ticks;
  return ticks;
}

void ScenarioBench::drainReplies() {
  while (m_parts->servoAgent.hasMessage()) {
    CMappedMsg msg = m_parts->servoAgent.read();
    if (msg.getType() != SERVO_TEXT) continue;
    char buffer[MAX_MSG_SIZE];
    msg.readString(buffer, sizeof buffer);
    m_text += buffer;
  }
}

std::string ScenarioBench::takeText() {
  drainReplies();
  std::string out;
  out.swap(m_text);
  return out;
}
