#include "libpuma/CPumaModelEAY.h"

#include "utility/Angles.h"

void CPumaModelEAY::rateMatrices(IRobotSimDriver& driver, const PrVector&, PrVector& x, PrMatrix& Einv,
                                 PrMatrix& E) {
  currentConfig(driver, x);
  // The y axis after the turn ψ is the x axis after the turn ψ + π/2.
  eulerRateMatrices(x, kPi / 2, Einv, E);
}

void CPumaModelEAY::configToFrame(const PrVector& x, PrTransform& frame) const {
  PR_ASSERT(x.size() == m_numConfigParms);
  frame.translation = PrVector3(x[0], x[1], x[2]);
  frame.rotation.fromEulerZYZ(x[3], x[4], x[5]);
}

void CPumaModelEAY::frameToConfig(const PrTransform& frame, PrVector& x) const {
  x.resize(m_numConfigParms);
  for (int i = 0; i < 3; ++i) x[i] = frame.translation[i];
  frame.rotation.toEulerZYZ(x[3], x[4], x[5]);
}
