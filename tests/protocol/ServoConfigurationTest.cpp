// The configuration record: what the servo writes the console must read back
// unchanged, at the largest sizes too, and a cut or impossible record is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "MappedMessage.h"
#include "protocol/ServoConfiguration.h"
#include "utility/unitMsg.h"

namespace {

ServoConfiguration largest() {
  ServoConfiguration c;
  c.robotType = 6;
  c.dof = kMaxConfigDof;
  c.numConfigParms = kMaxConfigParms;
  c.vmax = std::numeric_limits<float>::max();
  c.amax = std::numeric_limits<float>::denorm_min();
  c.wmax = -0.0f;
  c.rho0 = 0.05f;
  c.eta = 0.01f;
  c.sbound = 10;
  c.springK = 200;
  c.simSpeed = 1;
  c.jlimit = true;
  c.friction = false;
  c.torqlim = true;
  int k = 0;
  for (PrVector* v : {&c.qmin, &c.qmax, &c.dqmax, &c.ddqmax, &c.q0, &c.kj}) {
    v->setSize(c.dof);
    for (int j = 0; j < c.dof; ++j) (*v)[j] = -170.5f + static_cast<float>(k++);
  }
  for (PrVector* v : {&c.xmin, &c.xmax}) {
    v->setSize(c.numConfigParms);
    for (int j = 0; j < c.numConfigParms; ++j) (*v)[j] = 0.25f * static_cast<float>(k++);
  }
  for (int i = 0; i < kMaxObstacles; ++i) {
    const float f = static_cast<float>(i);
    c.obstacles.push_back({i == 3 ? -1 : 100 + i, PrVector3(0.1f * f, -0.2f, 0.3f), 0.01f * (f + 1)});
  }
  setLine(c.line, PrVector3(0.6f, -0.2f, 0.25f), PrVector3(0.6f, 0.2f, 0.25f));
  return c;
}

void expectSameBits(const PrVector& a, const PrVector& b, const char* name) {
  ASSERT_EQ(a.size(), b.size()) << name;
  EXPECT_EQ(std::memcmp(a.dataPtr(), b.dataPtr(), sizeof(float) * a.size()), 0) << name;
}

TEST(ServoConfigurationRecord, RoundTripsAtTheLargestSizes) {
  const ServoConfiguration sent = largest();
  CMsg msg;
  writeServoConfiguration(msg, sent);
  EXPECT_EQ(msg.getType(), SERVO_CONFIG);
  // 3 ints, 8 floats, 3 bools, 6 joint and 2 configuration vectors, the
  // obstacles after their count, the line's flag and two points.
  const int dof = sent.dof, c = sent.numConfigParms, n = kMaxObstacles;
  EXPECT_EQ(msg.position(), MSG_HEADER_SIZE + 12 + 32 + 3 + 4 * (6 * dof + 2 * c) + 4 + 20 * n + 1 + 24);

  std::vector<char> bytes;
  CMappedMsg in = mapped(msg, bytes);
  ServoConfiguration got;
  ASSERT_TRUE(readServoConfiguration(in, got));
  EXPECT_EQ(in.position(), in.length()) << "nothing left over";
  EXPECT_EQ(got.robotType, 6);
  EXPECT_EQ(got.dof, dof);
  EXPECT_EQ(got.numConfigParms, c);
  EXPECT_EQ(got.vmax, sent.vmax);
  EXPECT_EQ(got.amax, sent.amax);
  EXPECT_TRUE(std::signbit(got.wmax)) << "-0 keeps its sign";
  EXPECT_EQ(got.simSpeed, 1.0f);
  EXPECT_TRUE(got.jlimit);
  EXPECT_FALSE(got.friction);
  EXPECT_TRUE(got.torqlim);
  expectSameBits(got.qmin, sent.qmin, "qmin");
  expectSameBits(got.q0, sent.q0, "q0");
  expectSameBits(got.kj, sent.kj, "kj");
  expectSameBits(got.xmax, sent.xmax, "xmax");
  ASSERT_EQ(got.obstacles.size(), sent.obstacles.size());
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(got.obstacles[i].id, sent.obstacles[i].id);
    EXPECT_EQ(got.obstacles[i].center[0], sent.obstacles[i].center[0]);
    EXPECT_EQ(got.obstacles[i].radius, sent.obstacles[i].radius);
  }
  EXPECT_EQ(got.line.enabled, 1);
  EXPECT_EQ(got.line.p2[1], 0.2f);
  EXPECT_FLOAT_EQ(got.line.direction[1], 1.0f) << "derived again on reading";
}

TEST(ServoConfigurationRecord, EmptyArmAndDisabledLineRoundTrip) {
  ServoConfiguration sent;
  sent.line.p1 = PrVector3(1, 2, 3);
  CMsg msg;
  writeServoConfiguration(msg, sent);
  std::vector<char> bytes;
  CMappedMsg in = mapped(msg, bytes);
  ServoConfiguration got = largest();  // every field must be overwritten
  ASSERT_TRUE(readServoConfiguration(in, got));
  EXPECT_EQ(got.dof, 0);
  EXPECT_EQ(got.qmin.size(), 0);
  EXPECT_EQ(got.xmax.size(), 0);
  EXPECT_TRUE(got.obstacles.empty());
  EXPECT_EQ(got.line.enabled, 0);
  EXPECT_EQ(got.line.p1[2], 3.0f) << "a disabled line keeps its points";
}

TEST(ServoConfigurationRecord, ACutRecordIsRefusedWhereverItEnds) {
  CMsg msg;
  writeServoConfiguration(msg, largest());
  std::vector<char> bytes;
  const int full = msg.position();
  for (int length = MSG_HEADER_SIZE; length < full; ++length) {
    CMappedMsg in = mapped(msg, bytes, length);
    ServoConfiguration got;
    EXPECT_FALSE(readServoConfiguration(in, got)) << "cut at " << length << " of " << full;
  }
}

TEST(ServoConfigurationRecord, ImpossibleSizesAreRefused) {
  struct Case {
    int dof, parms, obstacles;
  };
  for (Case bad : {Case{kMaxConfigDof + 1, 7, 0}, Case{-1, 7, 0}, Case{6, kMaxConfigParms + 1, 0},
                   Case{6, -1, 0}, Case{6, 7, kMaxObstacles + 1}, Case{6, 7, -1}}) {
    SCOPED_TRACE(testing::Message() << bad.dof << " joints, " << bad.parms << " parameters, " << bad.obstacles
                                    << " obstacles");
    // Written by hand: the writer never produces these.
    CMsg msg;
    msg.setType(SERVO_CONFIG);
    msg.writeInt(3);
    msg.writeInt(bad.dof);
    msg.writeInt(bad.parms);
    for (int i = 0; i < 8; ++i) msg.writeFloat(1);
    for (int i = 0; i < 3; ++i) msg.writeBool(true);
    const int floats = 6 * std::max(bad.dof, 0) + 2 * std::max(bad.parms, 0);
    for (int i = 0; i < floats; ++i) msg.writeFloat(0);
    msg.writeInt(bad.obstacles);
    std::vector<char> bytes;
    CMappedMsg in = mapped(msg, bytes);
    ServoConfiguration got;
    EXPECT_FALSE(readServoConfiguration(in, got));
  }
}

}  // namespace
