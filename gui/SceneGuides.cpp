#include "gui/SceneGuides.h"

#include <GL/gl.h>

namespace scene {

void drawGroundGrid(float floorZ) {
  glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glLineWidth(1);
  const int lines = int(kGridHalfSide / kGridSpacing + 0.5f);
  glBegin(GL_LINES);
  for (int i = -lines; i <= lines; ++i) {
    if (i % 5 == 0) {
      glColor3f(0.42f, 0.45f, 0.5f);
    } else {
      glColor3f(0.27f, 0.3f, 0.34f);
    }
    const float at = float(i) * kGridSpacing;
    glVertex3f(at, -kGridHalfSide, floorZ);
    glVertex3f(at, kGridHalfSide, floorZ);
    glVertex3f(-kGridHalfSide, at, floorZ);
    glVertex3f(kGridHalfSide, at, floorZ);
  }
  glEnd();
  glPopAttrib();
}

void drawBaseAxes() {
  glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glLineWidth(3);
  glBegin(GL_LINES);
  for (int axis = 0; axis < 3; ++axis) {
    float tip[3] = {0, 0, 0};
    tip[axis] = kAxisLength;
    glColor3f(axis == 0 ? 0.9f : 0.15f, axis == 1 ? 0.8f : 0.15f, axis == 2 ? 0.95f : 0.15f);
    glVertex3f(0, 0, 0);
    glVertex3fv(tip);
  }
  glEnd();
  glPopAttrib();
}

}  // namespace scene
