// RobotWidget: OpenGL set-up and the drawing of the scene.
#include <GL/glu.h>

#include <QOpenGLFramebufferObject>
#include <cmath>

#include "geometry/SphereGrid.h"
#include "gui/CGLPuma.h"
#include "gui/HullMesh.h"
#include "gui/PumaGeometry.h"
#include "gui/RobotWidget.h"
#include "gui/SceneGuides.h"
#include "libpuma/IRobotModel.h"
#include "utility/Angles.h"
#include "utility/allFinite.h"

namespace {

void setMaterial(const float diffuse[4], const float emission[4]) {
  const float black[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
}

// Obstacles in a clear blue that stands out from the dark background.
void setSphereMaterial() {
  const float diffuse[4] = {0.1f, 0.35f, 0.75f, 1}, emission[4] = {0.02f, 0.08f, 0.18f, 1};
  setMaterial(diffuse, emission);
}

void setMarkerMaterial() {
  const float diffuse[4] = {0.8f, 0, 0.4f, 1}, emission[4] = {0.2f, 0, 0.1f, 1};
  setMaterial(diffuse, emission);
}

void setSurfaceMaterial() {
  const float diffuse[4] = {0.3f, 0.7f, 0.9f, 0.5f}, emission[4] = {0.05f, 0.1f, 0.15f, 0.5f};
  setMaterial(diffuse, emission);
  glLineWidth(1);
}

bool allFinite(const PrVector& v, int count) { return v.size() >= count && ::allFinite(v.dataPtr(), count); }

// A directional lamp; the ambient light is the light model's alone.
void setLamp(GLenum lamp, const float direction[4], const float diffuse[4], const float specular[4]) {
  const float none[4] = {0, 0, 0, 1};
  glLightfv(lamp, GL_POSITION, direction);
  glLightfv(lamp, GL_AMBIENT, none);
  glLightfv(lamp, GL_DIFFUSE, diffuse);
  glLightfv(lamp, GL_SPECULAR, specular);
}

void unitSphere(int slices, int stacks) {
  GLUquadric* quadric = gluNewQuadric();
  gluSphere(quadric, 1.0, slices, stacks);
  gluDeleteQuadric(quadric);
}

// Lines are drawn unlit in a plain colour.
void beginLines(float r, float g, float b, float width) {
  glDisable(GL_LIGHTING);
  glColor3f(r, g, b);
  glLineWidth(width);
  glBegin(GL_LINES);
}

void endLines() {
  glEnd();
  glEnable(GL_LIGHTING);
}

}  // namespace

void RobotWidget::initializeGL() {
  glClearColor(scene::kBackground[0], scene::kBackground[1], scene::kBackground[2], 1);
  glShadeModel(GL_SMOOTH);
  // Both lights are given in eye coordinates, so they move with the camera:
  // a key light from above the viewer's left shoulder and a weaker fill from
  // the lower right. Every surface the camera sees faces the key light, so
  // no link turns black whatever the pose or the camera.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const float key[4] = {-0.35f, 0.55f, 1, 0}, fill[4] = {0.6f, -0.4f, 0.45f, 0};
  const float keyDiffuse[4] = {0.62f, 0.62f, 0.6f, 1}, fillDiffuse[4] = {0.25f, 0.25f, 0.28f, 1};
  const float keySpecular[4] = {0.45f, 0.45f, 0.45f, 1}, none[4] = {0, 0, 0, 1};
  const float ambient[4] = {0.3f, 0.3f, 0.32f, 1};
  setLamp(GL_LIGHT0, key, keyDiffuse, keySpecular);
  setLamp(GL_LIGHT1, fill, fillDiffuse, none);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHT1);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glEnable(GL_NORMALIZE);  // spheres are scaled by their radius

  m_sphereList = glGenLists(1);
  glNewList(m_sphereList, GL_COMPILE);
  setSphereMaterial();
  unitSphere(20, 10);
  glEndList();
  m_markerList = glGenLists(1);
  glNewList(m_markerList, GL_COMPILE);
  setMarkerMaterial();
  glPushMatrix();
  glScalef(0.05f, 0.05f, 0.05f);
  unitSphere(8, 4);
  glPopMatrix();
  glEndList();

  if (m_eyePending) resetEyeFrame();
}

void RobotWidget::setProjection() {
  double w = 1.2, h = 1.2, n = 2, f = 10;
  if (m_glRobot) m_glRobot->getFrustum(w, h, n, f);
  glFrustum(-w / 2, w / 2, -h / 2, h / 2, n, f);
}

void RobotWidget::resizeGL(int w, int h) {
  if (m_glRobot) m_glRobot->setAspect(h > 0 ? double(w) / h : 1.0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  setProjection();
  glMatrixMode(GL_MODELVIEW);
}

void RobotWidget::paintGL() {
  m_changed = false;
  ++m_framesDrawn;
  if (m_glRobot) m_glRobot->getJointAngles(m_drawnAngles);
  const qreal ratio = devicePixelRatio();
  renderFrame(int(width() * ratio), int(height() * ratio));
}

void RobotWidget::renderFrame(int pixelWidth, int pixelHeight) {
  glViewport(0, 0, pixelWidth, pixelHeight);
  // The robot may have changed since the last resize.
  if (m_glRobot) m_glRobot->setAspect(height() > 0 ? double(width()) / height() : 1.0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  setProjection();
  glMatrixMode(GL_MODELVIEW);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawScene(GL_RENDER);
}

QImage RobotWidget::snapshot() {
  if (!context()) return QImage();
  makeCurrent();
  const qreal ratio = devicePixelRatio();
  const QSize pixels(int(width() * ratio), int(height() * ratio));
  QOpenGLFramebufferObject target(pixels, QOpenGLFramebufferObject::CombinedDepthStencil);
  target.bind();
  renderFrame(pixels.width(), pixels.height());
  const QImage image = target.toImage().convertToFormat(QImage::Format_RGB32);
  target.release();
  return image;
}

void RobotWidget::drawScene(GLenum renderMode) {
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(m_eye);
  // Guides are no items: a click on them turns the camera.
  if (renderMode == GL_RENDER) drawGuides();
  if (m_glRobot) {
    m_glRobot->draw(renderMode);
    // A surface carries the name of the last link drawn: a click on it grabs
    // the end of the arm it surrounds.
    drawSurfaces();
  }
  if (m_mode == kContact && m_glRobot) drawSpring();
  drawSpheres(renderMode);
  drawLine(renderMode);
  // Last, as it is translucent or drawn over the arm; never picked.
  if (renderMode == GL_RENDER) drawGoal();
}

PrVector3 RobotWidget::linkPoint(int link, const PrVector3& local) {
  float m[16];
  glPushMatrix();
  glLoadIdentity();
  m_glRobot->loadLinkFrame(link);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glPopMatrix();
  PrVector3 world;
  for (int i = 0; i < 3; ++i)
    world[i] = m[i] * local[0] + m[4 + i] * local[1] + m[8 + i] * local[2] + m[12 + i];
  return world;
}

PrVector3 RobotWidget::linkToWorld(int link, const PrVector3& local) {
  if (!m_glRobot || !context()) return PrVector3();
  makeCurrent();
  glMatrixMode(GL_MODELVIEW);
  return linkPoint(link, local);
}

PrVector3 RobotWidget::linkOrigin(int link) { return linkPoint(link, PrVector3()); }

PrVector3 RobotWidget::worldToLink(int link, const PrVector3& world) {
  float m[16];
  glPushMatrix();
  glLoadIdentity();
  m_glRobot->loadLinkFrame(link);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glPopMatrix();
  const float d[3] = {world[0] - m[12], world[1] - m[13], world[2] - m[14]};
  PrVector3 local;
  for (int i = 0; i < 3; ++i) local[i] = m[4 * i] * d[0] + m[4 * i + 1] * d[1] + m[4 * i + 2] * d[2];
  return local;
}

void RobotWidget::drawGuides() {
  if (m_guides[kGroundGrid]) scene::drawGroundGrid(-pumagl::kShoulderHeight);
  if (m_guides[kBaseAxes]) scene::drawBaseAxes();
}

void RobotWidget::drawSurfaces() {
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  setSurfaceMaterial();
  if (m_display[kDisplayMsi] || m_display[kDisplayMaxVelocity])
    drawEllipsoidSurface();
  else if (m_display[kDisplayEmassOnEndEffector] || m_display[kDisplayEmassOnContactPoint])
    drawEMass();
  else if (m_display[kDisplayAccLimit])
    drawHull(m_accLimit, 100.0f);
  else if (m_display[kDisplaySForceLimit])
    drawHull(m_velLimit, 2000.0f);
  glPopAttrib();
}

void RobotWidget::drawEllipsoidSurface() {
  if (!allFinite(m_msi, kSphereFloats)) return;
  const PrVector3 o = linkOrigin(4);
  // The last azimuth closes the surface onto the first.
  auto vertex = [&](int i, int j) {
    const float* p = m_msi.dataPtr() + spherePointIndex(i % kSphereAzimuths, j);
    glVertex3f(o[0] + p[0], o[1] + p[1], o[2] + p[2]);
  };
  glBegin(GL_QUADS);
  for (int i = 0; i < kSphereAzimuths; ++i) {
    for (int j = 0; j + 1 < kSphereElevations; ++j) {
      vertex(i, j);
      vertex(i, j + 1);
      vertex(i + 1, j + 1);
      vertex(i + 1, j);
    }
  }
  glEnd();
}

void RobotWidget::drawHull(const PrVector& data, float scale) {
  if (!m_model) return;
  HullMesh mesh;
  if (!buildHullMesh(data, 1 << m_model->dof(), scale, mesh)) return;
  const PrVector3 o = linkOrigin(4);
  glBegin(GL_TRIANGLES);
  for (int f = 0; f < mesh.triangleCount(); ++f) {
    const double* n = &mesh.normals[3 * f];
    const double* t = &mesh.corners[9 * f];
    glNormal3d(n[0], n[1], n[2]);  // flat shading
    for (int k = 0; k < 3; ++k) glVertex3d(o[0] + t[3 * k], o[1] + t[3 * k + 1], o[2] + t[3 * k + 2]);
  }
  glEnd();
}

void RobotWidget::drawEMass() {
  if (!allFinite(m_emass, 12)) return;
  const float* e = m_emass.dataPtr();
  const PrVector3 centre =
      m_display[kDisplayEmassOnContactPoint] ? linkPoint(m_contactLink, m_contactPoint) : linkOrigin(4);
  PrVector3 rows[3] = {PrVector3(e), PrVector3(e + 3), PrVector3(e + 6)};
  if (m_display[kDisplayEmassAsEllipsoid]) {
    if (rows[0].cross(rows[1]).dot(rows[2]) < 0) rows[2] = -rows[2];
    const float trace = rows[0][0] + rows[1][1] + rows[2][2];
    const float theta = std::acos(std::fmax(-1.0f, std::fmin(1.0f, (trace - 1) / 2)));
    const float s = std::sin(theta);
    glPushMatrix();
    glTranslatef(centre[0], centre[1], centre[2]);
    // The axis is undefined at 0 and 180 degrees; draw those unrotated.
    if (std::fabs(s) > 1e-4f)
      glRotatef(theta * 180.0f / kPiF, (rows[1][2] - rows[2][1]) / 2 / s, (rows[2][0] - rows[0][2]) / 2 / s,
                (rows[0][1] - rows[1][0]) / 2 / s);
    glScalef(e[9] * 0.01f, e[10] * 0.01f, e[11] * 0.01f);
    GLUquadric* quadric = gluNewQuadric();
    gluSphere(quadric, 1.0, 16, 16);
    gluDeleteQuadric(quadric);
    glPopMatrix();
    return;
  }
  beginLines(0.9f, 0.9f, 0.9f, 2);
  for (int i = 0; i < 3; ++i) {
    const float length = std::fmin(std::fabs(e[9 + i]), 10000.0f) * 0.01f;
    const PrVector3 a = centre - rows[i] * length, b = centre + rows[i] * length;
    glVertex3f(a[0], a[1], a[2]);
    glVertex3f(b[0], b[1], b[2]);
  }
  endLines();
}

void RobotWidget::drawSpring() {
  PrVector3 ends[2] = {linkPoint(m_contactLink, m_contactPoint), m_worldPoint};
  // Pull each end 0.1 toward the eye so the line stays in front of the link.
  const PrVector3 eye = eyeToWorld(PrVector3());
  for (auto& end : ends) {
    PrVector3 toEye = eye - end;
    const float distance = toEye.magnitude();
    if (distance > 0.1f) end += toEye * (0.1f / distance);
  }
  beginLines(1, 1, 0, 3);
  glVertex3f(ends[0][0], ends[0][1], ends[0][2]);
  glVertex3f(ends[1][0], ends[1][1], ends[1][2]);
  endLines();
}

void RobotWidget::drawSpheres(GLenum renderMode) {
  const bool selecting = renderMode == GL_SELECT;
  std::lock_guard<std::mutex> lock(m_sphereMutex);
  for (const auto& s : m_spheres) {
    if (selecting) glLoadName(kNameSphere + GLuint(s.id));
    glPushMatrix();
    glTranslatef(s.center[0], s.center[1], s.center[2]);
    glScalef(s.radius, s.radius, s.radius);
    // Mesa crashes calling a list holding gluSphere while selecting.
    if (selecting)
      unitSphere(20, 10);
    else
      glCallList(m_sphereList);
    glPopMatrix();
  }
}

void RobotWidget::drawLine(GLenum renderMode) {
  if (!m_line.enabled) return;
  const bool selecting = renderMode == GL_SELECT;
  const PrVector3* ends[2] = {&m_line.p1, &m_line.p2};
  for (int i = 0; i < 2; ++i) {
    if (selecting) glLoadName(kNameLineA + GLuint(i));
    glPushMatrix();
    glTranslatef((*ends[i])[0], (*ends[i])[1], (*ends[i])[2]);
    if (selecting) {
      glScalef(0.05f, 0.05f, 0.05f);
      unitSphere(8, 4);
    } else {
      glCallList(m_markerList);
    }
    glPopMatrix();
  }
  if (selecting) return;  // the line itself is not pickable
  double w = 1.2, h = 1.2, n = 2, f = 10;
  if (m_glRobot) m_glRobot->getFrustum(w, h, n, f);
  const PrVector3 a = m_line.closest - m_line.direction * float(2 * w);
  const PrVector3 b = m_line.closest + m_line.direction * float(2 * w);
  beginLines(1, 0, 0, 3);
  glVertex3f(a[0], a[1], a[2]);
  glVertex3f(b[0], b[1], b[2]);
  endLines();
}
