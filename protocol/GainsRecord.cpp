#include "protocol/GainsRecord.h"

#include "matrix/PrVector.h"
#include "protocol/ControlModeTable.h"
#include "utility/PrAssert.h"
#include "utility/msgPayload.h"
#include "utility/unitMsg.h"

namespace {
constexpr int kMaxBodyFloats = (MAX_MSG_SIZE - MSG_HEADER_SIZE) / 4;
}  // namespace

void writeGains(CMsg& msg, int mode, const PrVector& kp, const PrVector& kv) {
  PR_ASSERT(kp.size() == kv.size());
  msg.clear();
  msg.setType(SERVO_GAINS);
  msg.writeInt(mode);
  msg.writeInt(kp.size());
  writeVector(msg, kp);
  writeVector(msg, kv);
}

bool readGains(AMsg& msg, int& mode, PrVector& kp, PrVector& kv) {
  const int bodyFloats = (msg.length() - MSG_HEADER_SIZE) / 4;
  mode = msg.readInt();
  const int n = msg.readInt();
  // n is checked against the body before 2 + 2n is formed: a huge n must not overflow.
  if (!isControlMode(mode) || n < 0 || n > kMaxBodyFloats || bodyFloats != 2 + 2 * n) return false;
  kp.resize(n);
  kv.resize(n);
  readVector(msg, kp);
  readVector(msg, kv);
  return !msg.truncated();
}
