// The servo's configuration as the user interface last heard it
// (SERVO_CONFIG), used by the console's argument checks and the window.
#pragma once

#include <vector>

#include "matrix/PrVector.h"
#include "servo/ServoState.h"

class AMsg;

struct ServoConfiguration {
  int robotType = 0;
  int dof = 0;             // joints of the current model
  int numConfigParms = 0;  // operational configuration parameters
  float vmax = 0;          // m/s
  float amax = 0;
  float wmax = 0;  // degrees/s
  float rho0 = 0;
  float eta = 0;
  float sbound = 0;  // degrees
  float springK = 0;
  float simSpeed = 0;
  bool jlimit = false;
  bool friction = false;
  bool torqlim = false;
  PrVector qmin, qmax, dqmax, ddqmax, q0;  // dof each, degrees
  PrVector kj;                             // dof
  PrVector xmin, xmax;                     // numConfigParms each, the window's input bounds
  std::vector<Obstacle> obstacles;
  VirtualLine line;  // direction and closest point derived from the end points
};

// Largest sizes a configuration may announce; anything beyond is a corrupt message.
constexpr int kMaxConfigDof = 6;
constexpr int kMaxConfigParms = 16;

// Reads a SERVO_CONFIG body into config. Returns false, leaving config in an
// unspecified state, when the body is cut short or announces impossible sizes.
bool readServoConfiguration(AMsg& msg, ServoConfiguration& config);
