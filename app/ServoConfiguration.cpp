#include "app/ServoConfiguration.h"

#include "matrix/PrVector3.h"
#include "servo/ObstacleList.h"
#include "utility/msgPayload.h"
#include "utility/unitMsg.h"

namespace {
void readPoint(AMsg& msg, PrVector3& p) { msg.readFloats(p.dataPtr(), 3); }
}  // namespace

bool readServoConfiguration(AMsg& msg, ServoConfiguration& config) {
  config.robotType = msg.readInt();
  const int dof = msg.readInt();
  const int parms = msg.readInt();
  if (dof < 0 || dof > kMaxConfigDof || parms < 0 || parms > kMaxConfigParms) return false;
  config.dof = dof;
  config.numConfigParms = parms;

  config.vmax = msg.readFloat();
  config.amax = msg.readFloat();
  config.wmax = msg.readFloat();
  config.rho0 = msg.readFloat();
  config.eta = msg.readFloat();
  config.sbound = msg.readFloat();
  config.springK = msg.readFloat();
  config.simSpeed = msg.readFloat();
  config.jlimit = msg.readBool();
  config.friction = msg.readBool();
  config.torqlim = msg.readBool();

  for (PrVector* v : {&config.qmin, &config.qmax, &config.dqmax, &config.ddqmax, &config.q0, &config.kj}) {
    v->setSize(dof, true);
    readVector(msg, *v);
  }
  for (PrVector* v : {&config.xmin, &config.xmax}) {
    v->setSize(parms, true);
    readVector(msg, *v);
  }

  const int count = msg.readInt();
  if (count < 0 || count > kMaxObstacles) return false;
  config.obstacles.resize(count);
  for (Obstacle& obstacle : config.obstacles) {
    obstacle.id = msg.readInt();
    readPoint(msg, obstacle.center);
    obstacle.radius = msg.readFloat();
  }

  const bool enabled = msg.readBool();
  PrVector3 p1, p2;
  readPoint(msg, p1);
  readPoint(msg, p2);
  setLine(config.line, p1, p2);
  config.line.enabled = enabled ? 1 : 0;
  return !msg.truncated();
}
