// SERVO_SCOPE as the window's console reads it: whole samples back as they
// were sent, and a message from a foreign or broken sender refused.
#include <gtest/gtest.h>

#include <cstring>

#include "servo/ScopeMessage.h"

namespace {

ScopeSample numbered(int n) {
  ScopeSample s;
  s.time = 0.002f * float(n);
  s.dof = 3, s.config = 3, s.rate = 3, s.mode = 20;
  for (int k = 0; k < ScopeSample::kMaxJoints; ++k)
    s.q[k] = s.qd[k] = s.dq[k] = s.tau[k] = s.dx[k] = float(n) + 0.5f * float(k);
  for (int k = 0; k < ScopeSample::kMaxConfig; ++k) s.x[k] = s.xd[k] = float(-n) - 0.25f * float(k);
  return s;
}

// The message's bytes as the receiving side maps them.
CMappedMsg mapped(CMsg& msg) {
  const char* bytes = nullptr;
  int n = 0;
  msg.prepareForSending(&bytes, &n);
  CMappedMsg m;
  m.setFromBytes(bytes, n);
  return m;
}

TEST(ScopeMessage, AFullBatchReadsBackAsSentAndABrokenOneIsRefused) {
  CMsg msg;
  beginScopeMessage(msg);
  for (int i = 0; i < kScopeSamplesPerMessage; ++i) appendScopeSample(msg, numbered(i));
  CMappedMsg in = mapped(msg);
  EXPECT_EQ(in.getType(), SERVO_SCOPE);
  ASSERT_EQ(scopeSamplesIn(in), kScopeSamplesPerMessage);
  for (int i = 0; i < kScopeSamplesPerMessage; ++i) {
    ScopeSample s;
    ASSERT_TRUE(readScopeSample(in, s));
    const ScopeSample sent = numbered(i);
    EXPECT_EQ(std::memcmp(&s, &sent, sizeof s), 0) << "sample " << i;
  }

  // A body that is not whole samples.
  beginScopeMessage(msg);
  appendScopeSample(msg, numbered(1));
  msg.writeInt(0);
  EXPECT_EQ(scopeSamplesIn(mapped(msg)), -1);

  // Sizes beyond a sample's arrays, which the window would index with.
  for (const auto& [field, value] :
       {std::pair{&ScopeSample::dof, 7}, {&ScopeSample::config, 8}, {&ScopeSample::rate, -1}}) {
    ScopeSample foreign = numbered(1);
    foreign.*field = value;
    beginScopeMessage(msg);
    appendScopeSample(msg, foreign);
    CMappedMsg bad = mapped(msg);
    ASSERT_EQ(scopeSamplesIn(bad), 1);
    ScopeSample s;
    EXPECT_FALSE(readScopeSample(bad, s)) << value;
  }
}

}  // namespace
