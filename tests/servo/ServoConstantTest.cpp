// UI_CONSTANT: constants, obstacles and the line, checked in the state and in
// the configuration message the console decodes.
#include <gtest/gtest.h>

#include "ServoHarness.h"
#include "servo/ObstacleList.h"

namespace {

struct Config {
  int robotType, dof, c;
  float vmax, amax, wmax, rho0, eta, sbound, springK, simSpeed;
  bool jlimit, friction, torqueLimit;
  std::vector<float> qmin;
  std::vector<int> obstacleIds;
  std::vector<float> obstacleRadii;
  bool lineEnabled;
  float p1[3], p2[3];
};

Config decode(Reply reply) {
  CMsg& m = *reply.msg;
  Config c;
  c.robotType = m.readInt();
  c.dof = m.readInt();
  c.c = m.readInt();
  for (float* f : {&c.vmax, &c.amax, &c.wmax, &c.rho0, &c.eta, &c.sbound, &c.springK, &c.simSpeed})
    *f = m.readFloat();
  c.jlimit = m.readBool();
  c.friction = m.readBool();
  c.torqueLimit = m.readBool();
  c.qmin.resize(c.dof);
  m.readFloats(c.qmin.data(), c.dof);
  std::vector<float> skip(5 * c.dof + 2 * c.c);
  m.readFloats(skip.data(), int(skip.size()));
  const int count = m.readInt();
  for (int i = 0; i < count; ++i) {
    c.obstacleIds.push_back(m.readInt());
    float v[4];
    m.readFloats(v, 4);
    c.obstacleRadii.push_back(v[3]);
  }
  c.lineEnabled = m.readBool();
  m.readFloats(c.p1, 3);
  m.readFloats(c.p2, 3);
  EXPECT_FALSE(m.truncated());
  EXPECT_EQ(m.position(), reply.length) << "the record ends with the line";
  return c;
}

class ServoConstantTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.servo().servoInit());
    h.replies();
  }
  // Sends a constant and returns the configuration it produced (if any).
  std::vector<Reply> constant(int type, std::initializer_list<float> floats = {}, int intValue = INT32_MIN) {
    CMsg msg;
    msg.setType(UI_CONSTANT);
    msg.writeInt(type);
    if (intValue != INT32_MIN) msg.writeInt(intValue);
    for (float v : floats) msg.writeFloat(v);
    h.request(msg);
    return ofType(h.replies(), SERVO_CONFIG);
  }
  ServoHarness h;
};

TEST_F(ServoConstantTest, InitialValuesAsSentInTheConfiguration) {
  auto config = constant(21);  // delline: sends the configuration, changes nothing visible
  ASSERT_EQ(config.size(), 1u);
  Config c = decode(config[0]);
  EXPECT_EQ(c.robotType, 3);
  EXPECT_EQ(c.dof, 6);
  EXPECT_EQ(c.c, 7);
  EXPECT_FLOAT_EQ(c.vmax, 0.3f);
  EXPECT_NEAR(c.wmax, 45.0f, 1e-3f) << "angular limit in degrees";
  EXPECT_FLOAT_EQ(c.rho0, 0.05f);
  EXPECT_FLOAT_EQ(c.eta, 0.01f);
  EXPECT_NEAR(c.sbound, 10.0f, 1e-4f);
  EXPECT_FLOAT_EQ(c.springK, 200.0f);
  EXPECT_FLOAT_EQ(c.simSpeed, 1.0f);
  EXPECT_TRUE(c.jlimit && c.friction && c.torqueLimit);
  EXPECT_NEAR(c.qmin[0], -160.0f, 1e-3f);
  EXPECT_FALSE(c.lineEnabled);
  EXPECT_FLOAT_EQ(c.p1[0], -0.5f);
  EXPECT_FLOAT_EQ(c.p2[0], 0.5f);
}

TEST_F(ServoConstantTest, ScalarsTogglesAndJointVectors) {
  EXPECT_EQ(constant(3, {90}).size(), 1u);
  EXPECT_NEAR(h.state().wmax, 1.5707964f, 1e-6f);
  constant(6, {20});
  EXPECT_NEAR(h.state().sbound, 0.34906584f, 1e-6f);
  constant(8, {2});
  EXPECT_FLOAT_EQ(h.servo().simSpeed(), 2.0f);
  constant(9);
  EXPECT_FALSE(h.state().jlimit);
  Config c = decode(constant(10)[0]);
  EXPECT_FALSE(h.servo().frictionOn());
  EXPECT_FALSE(c.friction);
  constant(12, {-10, -20, -30, -40, -50, -60});
  EXPECT_NEAR(h.state().qmin[5], -60 * 0.017453292f, 1e-6f);
  constant(17, {1, 2, 3, 4, 5, 6});
  EXPECT_FLOAT_EQ(h.state().kj[5], 6.0f) << "kj is not an angle";
  EXPECT_TRUE(constant(12, {1, 2}).empty()) << "a short vector is refused";
  EXPECT_NEAR(h.state().qmin[0], -10 * 0.017453292f, 1e-6f);
  EXPECT_TRUE(constant(24, {}, 0).empty()) << "display switches send no configuration";
}

TEST_F(ServoConstantTest, ObstaclesReplaceAppendStopAtSixteenAndDeleteById) {
  for (int id = 0; id < 16; ++id) constant(18, {0.1f * float(id), 0, 0, 0.2f}, id);
  Config c = decode(constant(18, {1, 1, 1, 0.5f}, 3)[0]);
  EXPECT_EQ(c.obstacleIds.size(), 16u);
  EXPECT_FLOAT_EQ(c.obstacleRadii[3], 0.5f) << "same id replaces in place";
  auto full = constant(18, {0, 0, 0, 0.3f}, 99);
  ASSERT_EQ(full.size(), 1u) << "the seventeenth is ignored but the configuration still goes out";
  EXPECT_EQ(decode(full[0]).obstacleIds.size(), 16u);
  c = decode(constant(19, {}, 3)[0]);
  ASSERT_EQ(c.obstacleIds.size(), 15u);
  EXPECT_EQ(c.obstacleIds[2], 2);
  EXPECT_EQ(c.obstacleIds[3], 4) << "later entries move down";
}

TEST(ObstacleListTest, DeletingAnIdThatAppearsTwiceRemovesBoth) {
  ServoState s;
  setObstacle(s, 1, PrVector3(), 1);
  setObstacle(s, 2, PrVector3(), 2);
  setObstacle(s, 3, PrVector3(), 3);
  s.obstacles[2].id = 1;  // a duplicate, as an older list might hold
  EXPECT_EQ(deleteObstacle(s, 1), 2);
  ASSERT_EQ(s.numObstacles, 1);
  EXPECT_EQ(s.obstacles[0].id, 2);
  EXPECT_EQ(s.obstacles[0].radius, 2.0f);
}

TEST_F(ServoConstantTest, LineDerivesDirectionAndClosestPoint) {
  Config c = decode(constant(20, {0.2f, 0.4f, 0.1f, 0.6f, 0.4f, 0.4f})[0]);
  EXPECT_TRUE(c.lineEnabled);
  const VirtualLine& line = h.state().line;
  EXPECT_NEAR(line.direction[0], 0.8f, 1e-6f);
  EXPECT_NEAR(line.direction[2], 0.6f, 1e-6f);
  // The closest point lies on the line and is perpendicular to it.
  EXPECT_NEAR(line.closest.dot(line.direction), 0.0f, 1e-6f);
  PrVector3 fromP1 = line.closest - line.p1;
  EXPECT_NEAR(fromP1.cross(line.direction).magnitude(), 0.0f, 1e-6f);

  constant(20, {0.3f, 0.2f, 0.1f, 0.3f, 0.2f, 0.1f});
  EXPECT_EQ(line.direction[0], 1.0f);
  EXPECT_EQ(line.direction[1], 0.0f);
  EXPECT_EQ(line.closest[0], 0.0f);
  EXPECT_EQ(line.closest[1], 0.2f);
  EXPECT_EQ(line.closest[2], 0.1f);
  c = decode(constant(21)[0]);
  EXPECT_FALSE(c.lineEnabled);
  EXPECT_FLOAT_EQ(c.p1[0], 0.3f) << "points kept";
}

}  // namespace
