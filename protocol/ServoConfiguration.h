// The configuration record (SERVO_CONFIG): what the servo tells the user
// interface after a robot type or a constant changes. The servo fills one
// and writes it; the console reads it back for its argument checks and the
// window's forms.
//
// Body, in order: robot type, dof, number of configuration parameters (ints);
// vmax, amax, wmax (degrees/s), rho0, eta, sbound (degrees), springK,
// simSpeed (floats); jlimit, friction, torqlim (bools); qmin, qmax, dqmax,
// ddqmax, q0 (degrees) and kj (dof floats each); xmin, xmax (configuration
// units, angles in degrees; c floats each); the obstacle count, then per
// obstacle its id, centre (3 floats) and radius; the line's enabled flag
// (bool) and its two end points (3 floats each).
#pragma once

#include <vector>

#include "matrix/PrVector.h"
#include "protocol/SceneRecords.h"

class AMsg;
class CMsg;

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
  std::vector<Obstacle> obstacles;         // at most kMaxObstacles
  VirtualLine line;                        // direction and closest point derived from the end points
};

// Largest sizes a configuration may announce; anything beyond is a corrupt message.
constexpr int kMaxConfigDof = 6;
constexpr int kMaxConfigParms = 16;

// Clears msg and writes config as a SERVO_CONFIG message. The vectors must
// hold dof and numConfigParms values, and there must be at most
// kMaxObstacles obstacles. Allocates nothing.
void writeServoConfiguration(CMsg& msg, const ServoConfiguration& config);

// Reads a SERVO_CONFIG body into config. Returns false, leaving config in an
// unspecified state, when the body is cut short or announces impossible sizes.
bool readServoConfiguration(AMsg& msg, ServoConfiguration& config);
