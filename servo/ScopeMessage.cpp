#include "servo/ScopeMessage.h"

#include "utility/PrAssert.h"

void beginScopeMessage(CMsg& msg) {
  msg.clear();
  msg.setType(SERVO_SCOPE);
}

void appendScopeSample(CMsg& msg, const ScopeSample& s) {
  PR_ASSERT(msg.position() + kScopeSampleBytes <=
            MSG_HEADER_SIZE + kScopeSamplesPerMessage * kScopeSampleBytes);
  msg.writeFloat(s.time);
  for (const int32_t n : {s.dof, s.config, s.rate, s.mode}) msg.writeInt(n);
  for (const float* joints : {s.q, s.qd, s.dq, s.tau}) msg.writeFloats(joints, ScopeSample::kMaxJoints);
  msg.writeFloats(s.x, ScopeSample::kMaxConfig);
  msg.writeFloats(s.xd, ScopeSample::kMaxConfig);
  msg.writeFloats(s.dx, ScopeSample::kMaxRate);
}

int scopeSamplesIn(const CMappedMsg& msg) {
  const int body = msg.length() - MSG_HEADER_SIZE;
  return body >= 0 && body % kScopeSampleBytes == 0 ? body / kScopeSampleBytes : -1;
}

bool readScopeSample(CMappedMsg& msg, ScopeSample& s) {
  s.time = msg.readFloat();
  s.dof = msg.readInt();
  s.config = msg.readInt();
  s.rate = msg.readInt();
  s.mode = msg.readInt();
  for (float* joints : {s.q, s.qd, s.dq, s.tau}) msg.readFloats(joints, ScopeSample::kMaxJoints);
  msg.readFloats(s.x, ScopeSample::kMaxConfig);
  msg.readFloats(s.xd, ScopeSample::kMaxConfig);
  msg.readFloats(s.dx, ScopeSample::kMaxRate);
  // The window sizes its curves by these: a foreign value must not reach it.
  return !msg.truncated() && s.dof >= 0 && s.dof <= ScopeSample::kMaxJoints && s.config >= 0 &&
         s.config <= ScopeSample::kMaxConfig && s.rate >= 0 && s.rate <= ScopeSample::kMaxRate;
}
