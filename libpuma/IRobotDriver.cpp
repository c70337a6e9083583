#include "libpuma/IRobotDriver.h"

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

void IRobotDriver::getForces(PrVector& f) { f.setSize(6, true); }
void IRobotDriver::setGripper(int) {}
void IRobotDriver::reset() {}
void IRobotDriver::setFriction(bool) {}
void IRobotDriver::setContactPoint(int, const PrVector3&, const PrVector&) {}
void IRobotDriver::applyContactForce(float, const PrVector3&) {}
void IRobotDriver::removeContactForce() {}
void IRobotDriver::getContactJacobian(PrMatrix&) {}
void IRobotDriver::getPointJacobian(int, const PrVector3&, PrMatrix&) {}
bool IRobotDriver::getLinkFrame(int, PrTransform&) { return false; }
