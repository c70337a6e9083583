#include "servo/ServoVisualisation.h"

#include <algorithm>

#include "matrix/PrTransform.h"
#include "matrix/PrVector3.h"
#include "utility/unitMsg.h"

namespace {
constexpr float kCacheTolerance = 0.001f;  // rad², squared joint distance that counts as "moved"
}  // namespace

ServoVisualisation::ServoVisualisation() : m_rotation(3, 3) {}

void ServoVisualisation::reset(int dof) {
  m_emassOnEE = true;
  m_msiOnEE = true;
  m_maxVelDisplay = false;
  // A pose no arm stands in, so that the first request computes.
  m_lastLimitQ.setSize(dof, true);
  if (dof > 0) m_lastLimitQ[0] = 100;
  m_lastLimitRequest = UI_QUIT;
}

int ServoVisualisation::shapeKey(int code) const {
  switch (code) {
    case UI_MSI:
      return (m_msiOnEE ? 1 : 0) + (m_maxVelDisplay ? 2 : 0);
    case UI_EMASS:
      return m_emassOnEE ? -1 : m_contactPoints;
  }
  return 0;
}

bool ServoVisualisation::cached(int code, const PrVector& q) {
  float moved = 1;  // a size change (new robot type) always counts as moved
  if (m_lastLimitQ.size() == q.size()) {
    moved = 0;
    for (int i = 0; i < q.size(); ++i) moved += (q[i] - m_lastLimitQ[i]) * (q[i] - m_lastLimitQ[i]);
  }
  const int key = shapeKey(code);
  if (moved < kCacheTolerance && m_lastLimitRequest == code && m_lastShapeKey == key) return true;
  m_lastLimitQ = q;
  m_lastLimitRequest = code;
  m_lastShapeKey = key;
  return false;
}

void ServoVisualisation::pointJacobian(bool contact, const Arm& arm) {
  if (contact) {
    m_point36.setSize(3, 6, true);
    arm.driver.getContactJacobian(m_point36);
  } else {
    arm.driver.getPointJacobian(4, PrVector3(0, 0, 0), m_point36);
  }
  // The driver's Jacobian covers all six joints. A reduced model moves only the
  // joints its selection picks (the rest are locked), so its columns are the
  // selected ones: Jp = J6 · selectionᵀ (3 x dof). The identity for six joints.
  m_point36.multiply(arm.selection, m_Jp, true);
}

bool ServoVisualisation::compute(int code, int dest, const Arm& arm, Shape& shape) {
  const ServoState& s = arm.state;
  shape.dest = dest;
  shape.values = &m_shape;
  switch (code) {
    case UI_MSI:
      if (m_msiOnEE) {
        postMsi(dest, arm);
        return false;
      }
      m_shape.setSize(kSphereFloats, true);
      shape.replyCode = SERVO_MSI;
      shape.name = "MSI";
      return true;
    case UI_EMASS:
      pointJacobian(!m_emassOnEE, arm);
      s.A.inverse(m_Ainv, m_Alu);
      effectiveMassEllipsoid(m_Jp, m_Ainv, m_shape, m_scratch);
      shape.replyCode = SERVO_EMASS;
      shape.name = "eM";
      return true;
    case UI_ACC_LIMIT:
      pointJacobian(false, arm);
      s.A.inverse(m_Ainv, m_Alu);
      accelerationLimitPoints(m_Jp, m_Ainv, s.tauMax, m_shape, m_scratch);
      shape.replyCode = SERVO_ACC_LIMIT;
      shape.name = "accLimits";
      return true;
    case UI_SFORCE_LIMIT:
      pointJacobian(false, arm);
      velocityLimitPoints(m_Jp, s.dqmax, m_shape);
      shape.replyCode = SERVO_SFORCE_LIMIT;
      shape.name = "sForceLimit";
      return true;
  }
  return false;
}

void ServoVisualisation::postMsi(int dest, const Arm& arm) {
  pointJacobian(false, arm);
  arm.state.A.inverse(m_Ainv, m_Alu);
  PrTransform link3;
  arm.driver.getLinkFrame(3, link3);
  link3.rotation.toRotationMatrix(m_rotation);
  MsiRequest& in = m_msiRequest;
  in.dof = m_Jp.column();
  PR_ASSERT(in.dof <= MsiRequest::kMaxDof);
  for (int c = 0; c < in.dof; ++c) {
    for (int r = 0; r < 3; ++r) in.Jp[r][c] = m_Jp(r, c);
    for (int r = 0; r < in.dof; ++r) in.Ainv[r][c] = m_Ainv(r, c);
    in.dqmax[c] = arm.state.dqmax[c];
  }
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) in.rotation[r][c] = m_rotation(r, c);
  in.maxVelDisplay = m_maxVelDisplay;
  in.dest = dest;
  m_msiWorker.post(in);
}

bool ServoVisualisation::takeFinishedMsi(Shape& shape) {
  if (!m_msiWorker.take(&m_msiResult)) return false;
  std::copy(m_msiResult.points, m_msiResult.points + kSphereFloats, m_msiShape.dataPtr());
  shape.replyCode = SERVO_MSI;
  shape.name = "MSI";
  shape.values = &m_msiShape;
  shape.dest = m_msiResult.dest;
  return true;
}
