#include "gui/CGLPuma.h"

#include <GL/glu.h>

#include "gui/PumaMeshes.h"

namespace {

constexpr float kJointAxes[6][3] = {{0, 0, 1}, {-1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, 1}};

}  // namespace

CGLPuma::CGLPuma() : m_angles(6), m_meshes(buildPumaMeshes()), m_meshLists(kPumaLinkCount, 0) {}

CGLPuma::~CGLPuma() {
  for (GLuint list : m_meshLists)
    if (list != 0) glDeleteLists(list, 1);
}

void CGLPuma::getFrustum(double& width, double& height, double& nearPlane, double& farPlane) const {
  width = 1.2 * m_aspect;
  height = 1.2;
  nearPlane = 2.0;
  farPlane = 10.0;
}

void CGLPuma::getJointAngles(PrVector& angles) const { angles = m_angles; }

void CGLPuma::setJointAngles(const PrVector& angles) {
  for (int i = 0; i < 6 && i < angles.size(); ++i) m_angles[i] = angles[i];
}

void CGLPuma::resetEye() { gluLookAt(0, -3.5, 0, 0, 0, 0, 0, 0, 1); }

void CGLPuma::applyFrame(int i) const {
  switch (i) {
    case 0:
      glTranslatef(0, 0, -0.6718f);
      break;
    case 1:
      glTranslatef(0, 0, 0.5868f);
      glRotatef(-90, 0, 0, 1);
      break;
    case 2:
      glTranslatef(-0.1604f, 0, 0.085f);
      glRotatef(90, -1, 0, 0);
      break;
    case 3:
      glTranslatef(-0.0307f, 0, 0.4318f);
      glRotatef(-93, -1, 0, 0);
      break;
    case 4:
      glRotatef(3, -1, 0, 0);
      glTranslatef(0.041f, -0.0203f, 0.35307f);
      break;
    case 5:
      glTranslatef(0, 0, 0.08003f);
      break;
    default:
      break;
  }
}

void CGLPuma::applyJoint(int i) const {
  if (i <= 0 || i > 6) return;
  const float* axis = kJointAxes[i - 1];
  glRotatef(m_angles[i - 1], axis[0], axis[1], axis[2]);
}

void CGLPuma::loadLinkFrame(int link) {
  for (int i = 0; i <= link + 1 && i < kPumaLinkCount; ++i) {
    applyFrame(i);
    applyJoint(i);
  }
}

void CGLPuma::draw(GLenum renderMode) {
  const bool selecting = renderMode == GL_SELECT;
  glPushMatrix();
  for (int i = 0; i < kPumaLinkCount; ++i) {
    applyFrame(i);
    applyJoint(i);
    if (selecting) {
      glLoadName(GLuint(i));
      m_meshes[i].draw();
      continue;
    }
    if (m_meshLists[i] == 0) {
      m_meshLists[i] = glGenLists(1);
      glNewList(m_meshLists[i], GL_COMPILE);
      m_meshes[i].draw();
      glEndList();
    }
    glCallList(m_meshLists[i]);
  }
  glPopMatrix();
}
