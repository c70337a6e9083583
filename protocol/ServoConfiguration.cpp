#include "protocol/ServoConfiguration.h"

#include "utility/PrAssert.h"
#include "utility/msgPayload.h"
#include "utility/unitMsg.h"

namespace {
void readPoint(AMsg& msg, PrVector3& p) { msg.readFloats(p.dataPtr(), 3); }
void writePoint(CMsg& msg, const PrVector3& p) { msg.writeFloats(p.dataPtr(), 3); }
}  // namespace

void writeServoConfiguration(CMsg& msg, const ServoConfiguration& config) {
  const int count = static_cast<int>(config.obstacles.size());
  PR_ASSERT(count <= kMaxObstacles);
  msg.clear();
  msg.setType(SERVO_CONFIG);
  msg.writeInt(config.robotType);
  msg.writeInt(config.dof);
  msg.writeInt(config.numConfigParms);
  for (float f : {config.vmax, config.amax, config.wmax, config.rho0, config.eta, config.sbound,
                  config.springK, config.simSpeed})
    msg.writeFloat(f);
  msg.writeBool(config.jlimit);
  msg.writeBool(config.friction);
  msg.writeBool(config.torqlim);
  for (const PrVector* v :
       {&config.qmin, &config.qmax, &config.dqmax, &config.ddqmax, &config.q0, &config.kj}) {
    PR_ASSERT(v->size() == config.dof);
    writeVector(msg, *v);
  }
  for (const PrVector* v : {&config.xmin, &config.xmax}) {
    PR_ASSERT(v->size() == config.numConfigParms);
    writeVector(msg, *v);
  }
  msg.writeInt(count);
  for (const Obstacle& obstacle : config.obstacles) {
    msg.writeInt(obstacle.id);
    writePoint(msg, obstacle.center);
    msg.writeFloat(obstacle.radius);
  }
  msg.writeBool(config.line.enabled != 0);
  writePoint(msg, config.line.p1);
  writePoint(msg, config.line.p2);
}

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
