#include "gui/CGLPuma.h"

#include <GL/glu.h>

#include "gui/PumaGeometry.h"
#include "gui/PumaMeshes.h"

CGLPuma::CGLPuma() : m_angles(6), m_meshes(buildPumaMeshes()), m_meshLists(kPumaLinkCount, 0) {}

CGLPuma::CGLPuma(const MeshMaterial& material) : CGLPuma() {
  for (LinkMesh& mesh : m_meshes) mesh.recolour(material);
}

CGLPuma::~CGLPuma() {
  for (GLuint list : m_meshLists)
    if (list != 0) glDeleteLists(list, 1);
}

void CGLPuma::getFrustum(double& width, double& height, double& nearPlane, double& farPlane) const {
  pumagl::frustumSize(m_aspect, width, height);
  nearPlane = pumagl::kNearPlane;
  farPlane = pumagl::kFarPlane;
}

void CGLPuma::getJointAngles(PrVector& angles) const { angles = m_angles; }

void CGLPuma::setJointAngles(const PrVector& angles) {
  for (int i = 0; i < 6 && i < angles.size(); ++i) m_angles[i] = angles[i];
}

void CGLPuma::resetEye() {
  double eye[3];
  pumagl::defaultEyePosition(eye);
  gluLookAt(eye[0], eye[1], eye[2], 0, 0, 0, 0, 0, 1);
}

// Frame 0 is the pedestal's, on the floor; frame i (1 to 6) is the fixed part
// of joint i's modified Denavit–Hartenberg transform.
void CGLPuma::applyFrame(int i) const {
  if (i == 0) {
    glTranslatef(0, 0, -pumagl::kShoulderHeight);
    return;
  }
  if (i == 1) glTranslatef(0, 0, pumagl::kShoulderHeight);
  if (i > 6) return;
  const pumagl::DhLink& link = pumagl::kLinks[i - 1];
  if (link.alphaDeg != 0) glRotatef(link.alphaDeg, 1, 0, 0);
  glTranslatef(link.a, 0, link.d);
}

void CGLPuma::applyJoint(int i) const {
  if (i <= 0 || i > 6) return;
  glRotatef(m_angles[i - 1], 0, 0, 1);
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
