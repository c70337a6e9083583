// A configuration as a servo would report it, for tests that play the servo:
// scalars 1, 2, ... 8 from vmax on (plus `scalarOffset`), every switch on,
// lower joint limits -jointLimit and the other joint vectors +jointLimit,
// operational bounds +-configBound, no obstacles, the line disabled.
#pragma once

#include "protocol/ServoConfiguration.h"

inline ServoConfiguration standInConfiguration(int robotType, int dof, int parms, float jointLimit = 160.0f,
                                               float configBound = 1.0f, float scalarOffset = 0.0f) {
  ServoConfiguration c;
  c.robotType = robotType;
  c.dof = dof;
  c.numConfigParms = parms;
  float* scalars[] = {&c.vmax, &c.amax, &c.wmax, &c.rho0, &c.eta, &c.sbound, &c.springK, &c.simSpeed};
  for (int i = 0; i < 8; ++i) *scalars[i] = 1.0f + float(i) + scalarOffset;
  c.jlimit = c.friction = c.torqlim = true;
  for (PrVector* v : {&c.qmin, &c.qmax, &c.dqmax, &c.ddqmax, &c.q0, &c.kj}) {
    v->setSize(dof);
    for (int j = 0; j < dof; ++j) (*v)[j] = v == &c.qmin ? -jointLimit : jointLimit;
  }
  for (PrVector* v : {&c.xmin, &c.xmax}) {
    v->setSize(parms);
    for (int j = 0; j < parms; ++j) (*v)[j] = v == &c.xmin ? -configBound : configBound;
  }
  setLine(c.line, PrVector3(-0.5f, 0, 0), PrVector3(0.5f, 0, 0));
  c.line.enabled = 0;
  return c;
}
