#include "gui/RobotWidget.h"

#include <QAction>
#include <QMenu>
#include <QSurfaceFormat>
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "gui/CGLPuma.h"
#include "libpuma/RobotModelFactory.h"
#include "utility/Angles.h"
#include "utility/CommandDispatcher.h"
#include "utility/consolePrint.h"

namespace {

// Column-major 4×4 products and the rotation glRotatef would apply.
void multiply(const float a[16], const float b[16], float out[16]) {
  float r[16];
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      float s = 0;
      for (int k = 0; k < 4; ++k) s += a[k * 4 + row] * b[c * 4 + k];
      r[c * 4 + row] = s;
    }
  for (int i = 0; i < 16; ++i) out[i] = r[i];
}

void rotation(float degrees, float x, float y, float z, float out[16]) {
  const float length = std::sqrt(x * x + y * y + z * z);
  for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
  if (length <= 0) return;
  x /= length;
  y /= length;
  z /= length;
  const float c = std::cos(degrees * kPiF / 180), s = std::sin(degrees * kPiF / 180), t = 1 - c;
  out[0] = t * x * x + c;
  out[1] = t * x * y + s * z;
  out[2] = t * x * z - s * y;
  out[4] = t * x * y - s * z;
  out[5] = t * y * y + c;
  out[6] = t * y * z + s * x;
  out[8] = t * x * z + s * y;
  out[9] = t * y * z - s * x;
  out[10] = t * z * z + c;
}

}  // namespace

RobotWidget::RobotWidget(QWindow* parent, int refreshMs) : QOpenGLWindow(NoPartialUpdate, parent) {
  setObjectName("robotWidget");
  // Fixed-function drawing (display lists, lights, selection) needs the
  // compatibility profile.
  QSurfaceFormat format = QSurfaceFormat::defaultFormat();
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(24);
  setFormat(format);
  for (int i = 0; i < 16; ++i) m_eye[i] = (i % 5 == 0) ? 1.0f : 0.0f;
  buildMenu();
  connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
    if (m_changed) update();
  });
  setRefreshPeriod(refreshMs);
}

void RobotWidget::setRefreshPeriod(int ms) {
  m_refreshMs = ms;
  if (ms > 0) {
    m_refreshTimer.start(ms);
  } else {
    m_refreshTimer.stop();
  }
}

void RobotWidget::markChanged(bool drawNow) {
  m_changed = true;
  if (drawNow || m_refreshMs <= 0) update();
}

void RobotWidget::storeDisplayData(PrVector& stored, const PrVector& v) {
  if (stored == v) return;
  stored = v;
  markChanged(false);
}

RobotWidget::~RobotWidget() {
  makeCurrent();
  m_glRobot.reset();
  m_ghostRobot.reset();
  if (m_sphereList) glDeleteLists(m_sphereList, 1);
  if (m_markerList) glDeleteLists(m_markerList, 1);
  doneCurrent();
}

void RobotWidget::buildMenu() {
  m_menu = std::make_unique<QMenu>();
  m_menu->addAction("Reset Image", this, &RobotWidget::resetEyeFrame);
  m_menu->addAction("Rotate Left", this, &RobotWidget::rotateLeft);
  m_menu->addAction("Rotate Right", this, &RobotWidget::rotateRight);
  m_menu->addAction("Rotate Down", this, &RobotWidget::rotateDown);
  m_menu->addAction("Rotate Up", this, &RobotWidget::rotateUp);
  auto checkable = [this](const char* text, bool checked, void (RobotWidget::*slot)(int)) {
    QAction* action = m_menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(checked);
    // The slot sets the check mark itself; undo Qt's automatic toggle first.
    connect(action, &QAction::triggered, this, [this, action, slot](bool) {
      action->setChecked(!action->isChecked());
      (this->*slot)(0);
    });
    return action;
  };
  m_hRotateAction = checkable("Enable Horizontal Rotation", true, &RobotWidget::enableHRotate);
  m_vRotateAction = checkable("Enable Vertical Rotation", false, &RobotWidget::enableVRotate);
  m_displayActions[kDisplayMsi] =
      checkable("Display MSI", false, &RobotWidget::toggleDisplayMSIOnEndEffector);
  m_displayActions[kDisplaySForceLimit] =
      checkable("Display Vel. Limit", false, &RobotWidget::toggleDisplaySForceLimit);
  m_displayActions[kDisplayMaxVelocity] =
      checkable("Display Effective Inertia", false, &RobotWidget::toggleDisplayMaxVelocity);
  m_displayActions[kDisplayAccLimit] =
      checkable("Display Accel. Limit", false, &RobotWidget::toggleDisplayAccLimit);
  m_displayActions[kDisplayEmassOnEndEffector] =
      checkable("Display EMass", false, &RobotWidget::toggleDisplayEmassOnEndEffector);
  // Show/hide entries for what is drawn around the arm.
  m_menu->addSeparator();
  const char* const guideTexts[kGuideCount] = {"Show Ground Grid", "Show Base Axes"};
  for (int guide = 0; guide < kGuideCount; ++guide) {
    QAction* action = m_menu->addAction(guideTexts[guide]);
    action->setCheckable(true);
    action->setChecked(m_guides[guide]);
    connect(action, &QAction::triggered, this, [this, guide](bool) { toggleGuide(guide); });
    m_guideActions[guide] = action;
  }
  m_menu->addSeparator();
  const char* const goalTexts[kGoalMarkCount] = {"Show Goal Frame", "Show Goal Arm", "Show Goal on Line"};
  for (int mark = 0; mark < kGoalMarkCount; ++mark) {
    QAction* action = m_menu->addAction(goalTexts[mark]);
    action->setCheckable(true);
    action->setChecked(m_goalMarks[mark]);
    connect(action, &QAction::triggered, this, [this, mark](bool) { toggleGoalMark(mark); });
    m_goalMarkActions[mark] = action;
  }
}

void RobotWidget::toggleGuide(int guide) {
  if (guide < 0 || guide >= kGuideCount) return;
  m_guides[guide] = !m_guides[guide];
  m_guideActions[guide]->setChecked(m_guides[guide]);
  markChanged(true);
}

bool RobotWidget::sendCommand(const char* format, ...) {
  char line[CommandDispatcher::kReplySize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (!m_console) return false;
  return m_console->processCommand(line);
}

IRobotModel* RobotWidget::switchRobotType(int robotType) {
  if (robotType == m_robotType && m_glRobot) return m_model.get();
  if (robotType < 0 || robotType >= kRobotTypeCount) {
    consolePrint("Error: unknown robot type %d in GUI\n", robotType);
    makeCurrent();
    m_glRobot.reset();
    m_ghostRobot.reset();
    m_model.reset();
    m_goal = ViewGoal();
    m_robotType = robotType;
    return nullptr;
  }
  auto model = createRobotModel(robotType);
  auto glRobot = std::make_unique<CGLPuma>();
  glRobot->setAspect(height() > 0 ? double(width()) / height() : 1.0);
  makeCurrent();  // the old robot's display lists belong to this context
  m_glRobot = std::move(glRobot);
  m_ghostRobot.reset();
  m_model = std::move(model);
  m_goal = ViewGoal();  // in the old model's joints
  m_robotType = robotType;
  resetEyeFrame();
  markChanged(true);
  return m_model.get();
}

void RobotWidget::setJointPositions(const PrVector& q) {
  if (q.size() == 0 || !m_model || !m_glRobot) return;
  if (q.size() != m_model->m_selection.row()) return;  // a reply for another robot type
  const PrVector full = fullAngles(q);
  bool visible = false;
  // A hundredth of a degree moves no point of the arm by a tenth of a pixel:
  // an arm that creeps is redrawn once its creep can be seen.
  for (int j = 0; j < 6; ++j) visible = visible || !(std::fabs(full[j] - m_drawnAngles[j]) <= kVisibleAngle);
  m_glRobot->setJointAngles(full);
  if (visible) markChanged(false);
}

PrVector RobotWidget::fullAngles(const PrVector& q) const {
  const PrMatrix& selection = m_model->m_selection;
  PrVector full(6);
  for (int j = 0; j < 6; ++j) {
    float angle = m_model->m_lockConfigDeg[j];
    for (int i = 0; i < q.size(); ++i) angle += selection(i, j) * q[i];
    full[j] = angle;
  }
  return full;
}

void RobotWidget::setSphere(const Obstacle& sphere) {
  if (m_mode == kSphere && m_grabbed == sphere.id) return;
  {
    std::lock_guard<std::mutex> lock(m_sphereMutex);
    auto known = std::find_if(m_spheres.begin(), m_spheres.end(),
                              [&](const Obstacle& s) { return s.id == sphere.id; });
    if (known == m_spheres.end()) {
      m_spheres.push_back(sphere);
    } else if (known->center == sphere.center && known->radius == sphere.radius) {
      return;
    } else {
      known->center = sphere.center;
      known->radius = sphere.radius;
    }
  }
  markChanged(true);
}

void RobotWidget::removeSphere(int id) {
  if (m_mode == kSphere && m_grabbed == id) m_mode = kIdle;
  {
    std::lock_guard<std::mutex> lock(m_sphereMutex);
    auto known =
        std::find_if(m_spheres.begin(), m_spheres.end(), [&](const Obstacle& s) { return s.id == id; });
    if (known == m_spheres.end()) {
      std::fprintf(stderr, "Internal error: Tried to remove non-existent sphere.\n");
      return;
    }
    m_spheres.erase(known);
  }
  markChanged(true);
}

std::vector<Obstacle> RobotWidget::spheres() const {
  std::lock_guard<std::mutex> lock(m_sphereMutex);
  return m_spheres;
}

void RobotWidget::setLine(const VirtualLine& line) {
  if (m_mode == kLineEnd) return;
  if (line.enabled == m_line.enabled && line.p1 == m_line.p1 && line.p2 == m_line.p2 &&
      line.closest == m_line.closest && line.direction == m_line.direction)
    return;
  m_line = line;
  markChanged(true);
}

// --- camera ------------------------------------------------------------------

void RobotWidget::resetEyeFrame() {
  if (!m_glRobot || !context()) {
    m_eyePending = true;
    return;
  }
  makeCurrent();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  m_glRobot->resetEye();
  glGetFloatv(GL_MODELVIEW_MATRIX, m_eye);
  glPopMatrix();
  m_eyePending = false;
  update();
}

void RobotWidget::rotateEye(float degrees, int row) {
  float r[16];
  rotation(degrees, m_eye[row], m_eye[row + 4], m_eye[row + 8], r);
  multiply(m_eye, r, m_eye);
  update();
}

// Turns about the world's vertical rather than the screen's: the camera looks
// down on the arm, and a turn about its own up axis would tilt the floor.
void RobotWidget::turnEye(float degrees) {
  float r[16];
  rotation(degrees, 0, 0, 1, r);
  multiply(m_eye, r, m_eye);
  update();
}

void RobotWidget::rotateUp() { rotateEye(-90, 0); }
void RobotWidget::rotateDown() { rotateEye(90, 0); }
void RobotWidget::rotateLeft() { turnEye(-90); }
void RobotWidget::rotateRight() { turnEye(90); }

void RobotWidget::enableHRotate(int) {
  m_hRotate = !m_hRotate;
  m_hRotateAction->setChecked(m_hRotate);
}

void RobotWidget::enableVRotate(int) {
  m_vRotate = !m_vRotate;
  m_vRotateAction->setChecked(m_vRotate);
}

PrVector3 RobotWidget::eyeToWorld(const PrVector3& p) const {
  // The eye frame is rigid: world = Rᵀ (p − t).
  const float d[3] = {p[0] - m_eye[12], p[1] - m_eye[13], p[2] - m_eye[14]};
  PrVector3 world;
  for (int i = 0; i < 3; ++i)
    world[i] = m_eye[4 * i] * d[0] + m_eye[4 * i + 1] * d[1] + m_eye[4 * i + 2] * d[2];
  return world;
}

// --- display options -----------------------------------------------------------

void RobotWidget::toggleDisplay(DisplayOption option, const char* command) {
  m_display[option] = !m_display[option];
  if (m_display[option]) {
    for (int i = 0; i < kDisplayEmassAsEllipsoid; ++i) {
      if (i == option) continue;
      m_display[i] = 0;
      if (m_displayActions[i]) m_displayActions[i]->setChecked(false);
    }
    if (command) sendCommand("%s", command);
  }
  if (m_displayActions[option]) m_displayActions[option]->setChecked(m_display[option]);
  update();
}

void RobotWidget::toggleDisplayMSIOnEndEffector(int) { toggleDisplay(kDisplayMsi, "setifmaxvel 0"); }
void RobotWidget::toggleDisplayMaxVelocity(int) { toggleDisplay(kDisplayMaxVelocity, "setifmaxvel 1"); }
void RobotWidget::toggleDisplayAccLimit(int) { toggleDisplay(kDisplayAccLimit, nullptr); }
void RobotWidget::toggleDisplaySForceLimit(int) { toggleDisplay(kDisplaySForceLimit, nullptr); }
void RobotWidget::toggleDisplayEmassOnEndEffector(int) {
  toggleDisplay(kDisplayEmassOnEndEffector, "setemasspos 1");
}
void RobotWidget::toggleDisplayEmassOnContactPoint(int) {
  toggleDisplay(kDisplayEmassOnContactPoint, "setemasspos 0");
}
void RobotWidget::toggleDisplayEmassAsEllipsoid(int) {
  m_display[kDisplayEmassAsEllipsoid] = !m_display[kDisplayEmassAsEllipsoid];
  update();
}
