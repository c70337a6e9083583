// CGLPuma: the PUMA 560 drawn with fixed-function OpenGL, link by link on
// the chain of PumaGeometry.h.
//
// Each link's mesh is compiled into a display list on first use in render
// mode. In selection mode the meshes are drawn immediately instead: Mesa's
// software driver crashes when a display list is called while selecting.
#pragma once

#include <vector>

#include "gui/IGLRobot.h"
#include "gui/LinkMesh.h"
#include "matrix/PrVector.h"

class CGLPuma : public IGLRobot {
 public:
  CGLPuma();
  // An arm all of `material`.
  explicit CGLPuma(const MeshMaterial& material);
  ~CGLPuma() override;  // deletes the display lists (the context must be current)
  CGLPuma(const CGLPuma&) = delete;
  CGLPuma& operator=(const CGLPuma&) = delete;

  void getFrustum(double& width, double& height, double& nearPlane, double& farPlane) const override;
  void getJointAngles(PrVector& angles) const override;
  void setJointAngles(const PrVector& angles) override;
  void resetEye() override;
  void loadLinkFrame(int link) override;
  void draw(GLenum renderMode) override;

  // Width / height of the view; the shorter side of the frustum keeps its span.
  void setAspect(double aspect) { m_aspect = aspect; }

 private:
  void applyFrame(int i) const;  // fixed transform from link i − 1 to joint i
  void applyJoint(int i) const;  // rotation of joint i − 1 about its z axis (i > 0)

  PrVector m_angles;  // 6, degrees
  double m_aspect = 1.0;
  std::vector<LinkMesh> m_meshes;
  std::vector<GLuint> m_meshLists;  // 0 until compiled
};
