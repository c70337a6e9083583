// RobotWidget: the goal of the control law, drawn over the scene.
#include <GL/gl.h>

#include <QAction>
#include <cmath>

#include "gui/CGLPuma.h"
#include "gui/RobotWidget.h"
#include "libpuma/IRobotModel.h"
#include "utility/Angles.h"

namespace {

constexpr float kGoalAxisLength = 0.15f;  // m
constexpr float kFootRadius = 0.025f;     // m
// An arm this close to its goal in every joint hides its ghost: the two
// would lie in one another and their surfaces flicker through each other.
constexpr float kGhostHiddenWithin = 0.5f;  // degrees

// A pale cyan, see-through: the arm shows through it and it through the arm.
const MeshMaterial kGhostMaterial = {
    {0.1f, 0.25f, 0.3f, 0.3f}, {0.35f, 0.85f, 1.0f, 0.3f}, {0, 0, 0, 0.3f}, {0.05f, 0.15f, 0.2f, 0.3f}, 1};

// The frame as an OpenGL matrix (column-major).
void frameMatrix(const PrTransform& frame, float m[16]) {
  PrMatrix r;
  frame.rotation.toRotationMatrix(r);
  for (int c = 0; c < 3; ++c) {
    for (int row = 0; row < 3; ++row) m[c * 4 + row] = r(row, c);
    m[c * 4 + 3] = 0;
  }
  for (int row = 0; row < 3; ++row) m[12 + row] = frame.translation[row];
  m[15] = 1;
}

// x red, y green, z blue like the base axes, but brighter and over everything:
// the goal must show where the arm hides it.
void drawAxes(const PrTransform& frame) {
  float m[16];
  frameMatrix(frame, m);
  glPushMatrix();
  glMultMatrixf(m);
  glLineWidth(4);
  glBegin(GL_LINES);
  for (int axis = 0; axis < 3; ++axis) {
    float tip[3] = {0, 0, 0};
    tip[axis] = kGoalAxisLength;
    glColor3f(axis == 0 ? 1.0f : 0.25f, axis == 1 ? 1.0f : 0.25f, axis == 2 ? 1.0f : 0.25f);
    glVertex3f(0, 0, 0);
    glVertex3fv(tip);
  }
  glEnd();
  glPopMatrix();
}

// A yellow diamond at the foot point (orange marks the tool) and a thin line to the goal it stands for.
void drawFoot(const PrVector3& foot, const PrVector3& goal) {
  glLineWidth(1);
  glColor3f(1.0f, 0.92f, 0.25f);
  glBegin(GL_LINES);
  glVertex3f(foot[0], foot[1], foot[2]);
  glVertex3f(goal[0], goal[1], goal[2]);
  glEnd();
  glLineWidth(3);
  glBegin(GL_LINE_LOOP);
  for (int k = 0; k < 4; ++k) {
    const float a = float(k) * kPiF / 2;
    glVertex3f(foot[0] + kFootRadius * std::cos(a), foot[1], foot[2] + kFootRadius * std::sin(a));
  }
  glEnd();
  glBegin(GL_LINE_LOOP);
  for (int k = 0; k < 4; ++k) {
    const float a = float(k) * kPiF / 2;
    glVertex3f(foot[0] + kFootRadius * std::cos(a), foot[1] + kFootRadius * std::sin(a), foot[2]);
  }
  glEnd();
}

}  // namespace

void RobotWidget::setGoal(const ViewGoal& goal) {
  if (goal.sameAs(m_goal)) return;
  m_goal = goal;
  markChanged(false);
}

void RobotWidget::toggleGoalMark(int mark) {
  if (mark < 0 || mark >= kGoalMarkCount) return;
  m_goalMarks[mark] = !m_goalMarks[mark];
  m_goalMarkActions[mark]->setChecked(m_goalMarks[mark]);
  markChanged(true);
}

void RobotWidget::drawGoal() {
  if (m_goal.kind == ViewGoal::kJoints && m_goalMarks[kGoalArm]) drawGhostArm();
  const bool frame = m_goal.kind == ViewGoal::kFrame && m_goalMarks[kGoalFrame];
  const bool foot = m_goal.kind == ViewGoal::kLineFoot && m_goalMarks[kGoalLineFoot];
  if (!frame && !foot) return;
  glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  if (frame) drawAxes(m_goal.frame);
  if (foot) drawFoot(m_goal.foot, m_goal.frame.translation);
  glPopAttrib();
}

void RobotWidget::drawGhostArm() {
  if (!m_model || !m_glRobot || m_goal.qd.size() != m_model->m_selection.row()) return;
  if (!m_ghostRobot) m_ghostRobot = std::make_unique<CGLPuma>(kGhostMaterial);
  const PrVector full = fullAngles(m_goal.qd);
  PrVector drawn(6);
  m_glRobot->getJointAngles(drawn);
  bool away = false;
  for (int j = 0; j < 6; ++j) away = away || !(std::fabs(full[j] - drawn[j]) < kGhostHiddenWithin);
  if (!away) return;
  m_ghostRobot->setJointAngles(full);
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthMask(GL_FALSE);  // the ghost hides nothing behind it
  m_ghostRobot->draw(GL_RENDER);
  glPopAttrib();
}
