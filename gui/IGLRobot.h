// IGLRobot: draws one arm with fixed-function OpenGL and knows its camera.
//
// All operations act on the current OpenGL context and matrix stack.
#pragma once

#include <GL/gl.h>

class PrVector;

class IGLRobot {
 public:
  virtual ~IGLRobot() = default;
  // The view volume: width and height at the near plane, near and far distance.
  virtual void getFrustum(double& width, double& height, double& nearPlane, double& farPlane) const = 0;
  virtual void getJointAngles(PrVector& angles) const = 0;  // degrees
  virtual void setJointAngles(const PrVector& angles) = 0;  // degrees
  // Multiplies the default camera onto the model-view matrix.
  virtual void resetEye() = 0;
  // Multiplies the current matrix by the transforms from the base up to the
  // link that joint `link` moves (link 0 is the first moving link).
  virtual void loadLinkFrame(int link) = 0;
  // Draws the arm; with GL_SELECT each link loads its index as its name.
  virtual void draw(GLenum renderMode) = 0;
};
