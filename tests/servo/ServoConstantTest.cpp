// UI_CONSTANT: constants, obstacles and the line, checked in the state and in
// the configuration message the console decodes.
#include <gtest/gtest.h>

#include "ServoHarness.h"
#include "protocol/ConstantType.h"
#include "protocol/ServoConfiguration.h"
#include "servo/ObstacleList.h"

namespace {

using C = ConstantType;

ServoConfiguration decode(Reply reply) {
  ServoConfiguration c;
  EXPECT_TRUE(readServoConfiguration(*reply.msg, c));
  EXPECT_EQ(reply.msg->position(), reply.length) << "the record ends with the line";
  return c;
}

class ServoConstantTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.servo().servoInit());
    h.replies();
  }
  // Sends a constant and returns every reply.
  std::vector<Reply> send(ConstantType type, std::initializer_list<float> floats = {},
                          int intValue = INT32_MIN) {
    CMsg msg;
    msg.setType(UI_CONSTANT);
    msg.writeInt(constantNumber(type));
    if (intValue != INT32_MIN) msg.writeInt(intValue);
    for (float v : floats) msg.writeFloat(v);
    h.request(msg);
    return h.replies();
  }
  // Sends a constant and returns the configuration it produced (if any).
  std::vector<Reply> constant(ConstantType type, std::initializer_list<float> floats = {},
                              int intValue = INT32_MIN) {
    return ofType(send(type, floats, intValue), SERVO_CONFIG);
  }
  ServoHarness h;
};

// Each constant, given a well-formed value, answers as the constant table says.
TEST_F(ServoConstantTest, EveryConstantAnswersAsTheTableSays) {
  for (const ConstantInfo& info : kConstants) {
    SCOPED_TRACE(info.word);
    std::vector<Reply> all;
    switch (info.payload) {
      case ConstantPayload::kInteger:
        all = send(info.type, {}, 3);
        break;
      case ConstantPayload::kFloat:
        all = send(info.type, {1.0f});
        break;
      case ConstantPayload::kToggle:
        all = send(info.type);
        break;
      case ConstantPayload::kPerJoint:
        all = send(info.type, {5, 5, 5, 5, 5, 5});
        break;
      case ConstantPayload::kObstacle:
        all = send(info.type, {0.5f, 0, 0.3f, 0.1f}, 7);
        break;
      case ConstantPayload::kId:
        all = send(info.type, {}, 7);
        break;
      case ConstantPayload::kLine:
        all = send(info.type, {0, 0, 0, 1, 0, 0});
        break;
      case ConstantPayload::kGains:
        all = send(info.type, {1, 2, 3, 4, 5, 6}, kJgoto);
        break;
      case ConstantPayload::kSwitch:
        all = send(info.type, {}, 1);
        break;
    }
    const size_t configs = ofType(all, SERVO_CONFIG).size();
    const size_t gains = ofType(all, SERVO_GAINS).size();
    EXPECT_EQ(textOf(all), "");
    switch (info.answer) {
      case ConstantAnswer::kConfiguration:
        EXPECT_GE(configs, 1u) << "a new robot type announces itself, then the constant does";
        break;
      case ConstantAnswer::kGains:
        EXPECT_EQ(configs, 0u);
        EXPECT_EQ(gains, 1u);
        break;
      case ConstantAnswer::kNothing:
        EXPECT_EQ(configs + gains, 0u);
        break;
    }
  }
}

TEST_F(ServoConstantTest, InitialValuesAsSentInTheConfiguration) {
  auto config = constant(C::kDelLine);  // sends the configuration, changes nothing visible
  ASSERT_EQ(config.size(), 1u);
  ServoConfiguration c = decode(config[0]);
  EXPECT_EQ(c.robotType, 3);
  EXPECT_EQ(c.dof, 6);
  EXPECT_EQ(c.numConfigParms, 7);
  EXPECT_FLOAT_EQ(c.vmax, 0.3f);
  EXPECT_NEAR(c.wmax, 45.0f, 1e-3f) << "angular limit in degrees";
  EXPECT_FLOAT_EQ(c.rho0, 0.05f);
  EXPECT_FLOAT_EQ(c.eta, 0.01f);
  EXPECT_NEAR(c.sbound, 10.0f, 1e-4f);
  EXPECT_FLOAT_EQ(c.springK, 200.0f);
  EXPECT_FLOAT_EQ(c.simSpeed, 1.0f);
  EXPECT_TRUE(c.jlimit && c.friction && c.torqlim);
  EXPECT_NEAR(c.qmin[0], -160.0f, 1e-3f);
  EXPECT_FALSE(c.line.enabled);
  EXPECT_FLOAT_EQ(c.line.p1[0], -0.5f);
  EXPECT_FLOAT_EQ(c.line.p2[0], 0.5f);
}

TEST_F(ServoConstantTest, ScalarsTogglesAndJointVectors) {
  EXPECT_EQ(constant(C::kWmax, {90}).size(), 1u);
  EXPECT_NEAR(h.state().wmax, 1.5707964f, 1e-6f);
  constant(C::kSbound, {20});
  EXPECT_NEAR(h.state().sbound, 0.34906584f, 1e-6f);
  constant(C::kSimSpeed, {2});
  EXPECT_FLOAT_EQ(h.servo().simSpeed(), 2.0f);
  constant(C::kJlimit);
  EXPECT_FALSE(h.state().jlimit);
  ServoConfiguration c = decode(constant(C::kFriction)[0]);
  EXPECT_FALSE(h.servo().frictionOn());
  EXPECT_FALSE(c.friction);
  constant(C::kQmin, {-10, -20, -30, -40, -50, -60});
  EXPECT_NEAR(h.state().qmin[5], -60 * 0.017453292f, 1e-6f);
  constant(C::kKj, {1, 2, 3, 4, 5, 6});
  EXPECT_FLOAT_EQ(h.state().kj[5], 6.0f) << "kj is not an angle";
  EXPECT_TRUE(constant(C::kQmin, {1, 2}).empty()) << "a short vector is refused";
  EXPECT_NEAR(h.state().qmin[0], -10 * 0.017453292f, 1e-6f);
  EXPECT_TRUE(constant(C::kEmassPos, {}, 0).empty()) << "display switches send no configuration";
}

TEST_F(ServoConstantTest, ObstaclesReplaceAppendStopAtSixteenAndDeleteById) {
  for (int id = 0; id < 16; ++id) constant(C::kSetObstacle, {0.1f * float(id), 0, 0, 0.2f}, id);
  ServoConfiguration c = decode(constant(C::kSetObstacle, {1, 1, 1, 0.5f}, 3)[0]);
  EXPECT_EQ(c.obstacles.size(), 16u);
  EXPECT_FLOAT_EQ(c.obstacles[3].radius, 0.5f) << "same id replaces in place";
  auto full = constant(C::kSetObstacle, {0, 0, 0, 0.3f}, 99);
  ASSERT_EQ(full.size(), 1u) << "the seventeenth is ignored but the configuration still goes out";
  EXPECT_EQ(decode(full[0]).obstacles.size(), 16u);
  c = decode(constant(C::kDelObstacle, {}, 3)[0]);
  ASSERT_EQ(c.obstacles.size(), 15u);
  EXPECT_EQ(c.obstacles[2].id, 2);
  EXPECT_EQ(c.obstacles[3].id, 4) << "later entries move down";
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
  ServoConfiguration c = decode(constant(C::kSetLine, {0.2f, 0.4f, 0.1f, 0.6f, 0.4f, 0.4f})[0]);
  EXPECT_TRUE(c.line.enabled);
  const VirtualLine& line = h.state().line;
  EXPECT_NEAR(line.direction[0], 0.8f, 1e-6f);
  EXPECT_NEAR(line.direction[2], 0.6f, 1e-6f);
  // The closest point lies on the line and is perpendicular to it.
  EXPECT_NEAR(line.closest.dot(line.direction), 0.0f, 1e-6f);
  PrVector3 fromP1 = line.closest - line.p1;
  EXPECT_NEAR(fromP1.cross(line.direction).magnitude(), 0.0f, 1e-6f);

  constant(C::kSetLine, {0.3f, 0.2f, 0.1f, 0.3f, 0.2f, 0.1f});
  EXPECT_EQ(line.direction[0], 1.0f);
  EXPECT_EQ(line.direction[1], 0.0f);
  EXPECT_EQ(line.closest[0], 0.0f);
  EXPECT_EQ(line.closest[1], 0.2f);
  EXPECT_EQ(line.closest[2], 0.1f);
  c = decode(constant(C::kDelLine)[0]);
  EXPECT_FALSE(c.line.enabled);
  EXPECT_FLOAT_EQ(c.line.p1[0], 0.3f) << "points kept";
}

}  // namespace
