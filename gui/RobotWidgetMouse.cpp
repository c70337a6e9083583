// RobotWidget: picking and the mouse (camera, dragging, the contact spring).
#include <GL/glu.h>

#include <QMenu>
#include <QMouseEvent>
#include <cmath>
#include <cstdio>

#include "gui/CGLPuma.h"
#include "gui/RobotWidget.h"
#include "libpuma/IRobotModel.h"
#include "protocol/ConstantType.h"
#include "utility/CommandDispatcher.h"

namespace {

constexpr int kSelectBufferSize = 100;

}  // namespace

unsigned RobotWidget::pick(int x, int y, float& distance) {
  distance = 1;
  if (!context()) return kNameBackground;
  makeCurrent();
  double w = 1.2, h = 1.2, n = 2, f = 10;
  if (m_glRobot) m_glRobot->getFrustum(w, h, n, f);
  const qreal ratio = devicePixelRatio();
  GLint viewport[4] = {0, 0, GLint(width() * ratio), GLint(height() * ratio)};
  GLuint buffer[kSelectBufferSize];
  glSelectBuffer(kSelectBufferSize, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(kNameBackground);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPickMatrix(x * ratio, viewport[3] - y * ratio, 1, 1, viewport);
  glFrustum(-w / 2, w / 2, -h / 2, h / 2, n, f);
  drawScene(GL_SELECT);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  const GLint hits = glRenderMode(GL_RENDER);  // −1 when the buffer overflowed

  unsigned name = kNameBackground;
  double best = 10000;
  double bestZ = 0;
  const GLuint* record = buffer;
  const GLuint* end = buffer + kSelectBufferSize;
  for (GLint hit = 0; hit < hits && record + 3 <= end; ++hit) {
    const GLuint depth = record[0];
    if (record + 3 + depth > end) break;
    // Every item loads one name; a record of another depth is not ours to
    // interpret, so it is passed over rather than trusted.
    if (depth == 1) {
      const double zMin = 2.0 * record[1] / 4294967295.0 - 1;
      const double zMax = 2.0 * record[2] / 4294967295.0 - 1;
      if (zMin < best) {
        best = zMin;
        bestZ = (zMin + zMax) / 2;
        name = record[3];
      }
    }
    record += 3 + depth;
  }
  if (name != kNameBackground) distance = float(2 * f * n / (f + n - (f - n) * bestZ));

  // A link the model leaves out gives way to the next lower one.
  if (m_model && name >= 1 && name <= GLuint(m_model->m_fullDof)) {
    const PrMatrix& selection = m_model->m_selection;
    auto driven = [&](unsigned link) {
      for (int row = 0; row < selection.row(); ++row)
        if (selection(row, int(link) - 1) > 0.5f) return true;
      return false;
    };
    while (name > 0 && !driven(name)) --name;
  }
  return name;
}

void RobotWidget::mousePressEvent(QMouseEvent* event) {
  const float x = float(event->position().x()), y = float(event->position().y());
  m_lastX = x;
  m_lastY = y;
  float d = 1;
  const unsigned name = pick(int(x), int(y), d);
  double w = 1.2, h = 1.2, n = 2, f = 10;
  if (m_glRobot) m_glRobot->getFrustum(w, h, n, f);
  const float sx = width() > 1 ? x / float(width() - 1) : 0.5f,
              sy = height() > 1 ? y / float(height() - 1) : 0.5f;
  m_eyePoint = PrVector3(float((sx - 0.5f) * w * d / n), float((0.5f - sy) * h * d / n), -d);
  m_worldPoint = eyeToWorld(m_eyePoint);

  if (event->button() == Qt::RightButton) {
    m_menu->popup(event->globalPosition().toPoint());
    return;
  }
  if (name == 0 || name == kNameBackground) {
    m_mode = kCamera;
  } else if (name == kNameLineA || name == kNameLineB) {
    m_mode = kLineEnd;
    m_grabbed = int(name - kNameLineA);
    m_grabOffset = (m_grabbed == 0 ? m_line.p1 : m_line.p2) - m_worldPoint;
  } else if (name >= kNameSphere && name < kNameBackground) {
    const int id = int(name - kNameSphere);
    bool found = false;
    {
      std::lock_guard<std::mutex> lock(m_sphereMutex);
      for (const auto& s : m_spheres) {
        if (s.id == id) {
          m_grabOffset = s.center - m_worldPoint;
          found = true;
        }
      }
    }
    if (found) {
      m_mode = kSphere;
      m_grabbed = id;
      emit selectSphere(id);
    }
  } else if (m_glRobot && m_model && name < kNameLineA) {
    m_mode = kContact;
    m_contactLink = int(name) - 1;
    makeCurrent();
    m_contactPoint = worldToLink(m_contactLink, m_worldPoint);
    // The model's joints (degrees) at the press, after the point.
    PrVector full(6), offset(6), joints;
    m_glRobot->getJointAngles(full);
    for (int j = 0; j < 6; ++j) offset[j] = full[j] - m_model->m_lockConfigDeg[j];
    m_model->m_selection.multiply(offset, joints);
    char command[CommandDispatcher::kReplySize];
    int length =
        std::snprintf(command, sizeof command, "setcontactpoint %d %g %g %g", m_contactLink,
                      double(m_contactPoint[0]), double(m_contactPoint[1]), double(m_contactPoint[2]));
    for (int i = 0; i < joints.size() && length > 0 && length < int(sizeof command); ++i)
      length += std::snprintf(command + length, sizeof command - length, " %g", double(joints[i]));
    sendCommand("%s", command);
    handleDrag(x, y, event->modifiers());  // the spring acts at once
  }
}

void RobotWidget::handleDrag(float x, float y, Qt::KeyboardModifiers modifiers) {
  if (m_mode == kIdle) return;
  double w = 1.2, h = 1.2, n = 2, f = 10;
  if (m_glRobot) m_glRobot->getFrustum(w, h, n, f);
  const float z = m_eyePoint[2];
  const float sx = width() > 1 ? x / float(width() - 1) : 0.5f,
              sy = height() > 1 ? y / float(height() - 1) : 0.5f;
  const PrVector3 eyePoint(float((sx - 0.5f) * w * -z / n), float((0.5f - sy) * h * -z / n), z);
  const PrVector3 worldPoint = eyeToWorld(eyePoint);

  switch (m_mode) {
    case kCamera: {
      const float dx = (x - m_lastX) / float(width()), dy = (y - m_lastY) / float(height());
      if (m_hRotate) turnEye(90 * dx);
      if (modifiers & Qt::ShiftModifier) {
        // Move along the line to the camera: a zoom toward or away from the origin.
        const PrVector3 camera = eyeToWorld(PrVector3());
        float t[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, dy * camera[0], dy * camera[1], dy * camera[2], 1};
        float r[16];
        for (int c = 0; c < 4; ++c)
          for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += m_eye[k * 4 + row] * t[c * 4 + k];
            r[c * 4 + row] = s;
          }
        for (int i = 0; i < 16; ++i) m_eye[i] = r[i];
      } else if (m_vRotate) {
        rotateEye(90 * dy, 0);
      }
      break;
    }
    case kLineEnd: {
      PrVector3& end = m_grabbed == 0 ? m_line.p1 : m_line.p2;
      end = worldPoint + m_grabOffset;
      m_line.enabled = 1;
      sendCommand("%s %g %g %g %g %g %g", constantWord(ConstantType::kSetLine), double(m_line.p1[0]),
                  double(m_line.p1[1]), double(m_line.p1[2]), double(m_line.p2[0]), double(m_line.p2[1]),
                  double(m_line.p2[2]));
      break;
    }
    case kSphere: {
      Obstacle moved;
      bool found = false;
      {
        std::lock_guard<std::mutex> lock(m_sphereMutex);
        for (auto& s : m_spheres) {
          if (s.id == m_grabbed) {
            s.center = worldPoint + m_grabOffset;
            moved = s;
            found = true;
          }
        }
      }
      if (found)
        sendCommand("%s %d %g %g %g %g", constantWord(ConstantType::kSetObstacle), moved.id,
                    double(moved.center[0]), double(moved.center[1]), double(moved.center[2]),
                    double(moved.radius));
      break;
    }
    case kContact:
      sendCommand("applycontactforce %g %g %g", double(worldPoint[0]), double(worldPoint[1]),
                  double(worldPoint[2]));
      break;
    case kIdle:
      break;
  }
  m_lastX = x;
  m_lastY = y;
  m_eyePoint = eyePoint;
  m_worldPoint = worldPoint;
  update();
}

void RobotWidget::mouseMoveEvent(QMouseEvent* event) {
  handleDrag(float(event->position().x()), float(event->position().y()), event->modifiers());
}

void RobotWidget::mouseReleaseEvent(QMouseEvent*) {
  if (m_mode == kContact) sendCommand("removecontactforce");
  m_mode = kIdle;
  update();
}
