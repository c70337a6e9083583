// Control modes, gains and the order of plug-in calls, observed through the
// recording plug-in loaded with dlopen.
#include <gtest/gtest.h>

#include <cmath>

#include "ServoHarness.h"
#include "protocol/ConstantType.h"

namespace {

class ServoControlTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(log.ok());
    ASSERT_TRUE(h.servo().servoInit());
    h.replies();
    log.clear();
    log.setTickTorque(0);
  }
  void TearDown() override { log.setTickTorque(0); }
  void selectMode(int mode, std::initializer_list<float> goal = {}, int elbow = -1) {
    CMsg msg;
    msg.setType(UI_CONTROL_MODE);
    msg.writeInt(mode);
    for (float v : goal) msg.writeFloat(v);
    if (elbow >= 0) msg.writeInt(elbow);
    h.request(msg);
  }
  void setGains(ConstantType type, int mode, std::initializer_list<float> gains) {
    CMsg msg;
    msg.setType(UI_CONSTANT);
    msg.writeInt(constantNumber(type));
    msg.writeInt(mode);
    for (float v : gains) msg.writeFloat(v);
    h.request(msg);
  }
  RecordingLog log;
  ServoHarness h;
};

TEST_F(ServoControlTest, InitControlRunsOnceAfterTheFirstModelIsSetUp) {
  ServoHarness fresh;
  log.clear();
  ASSERT_TRUE(fresh.servo().servoInit());
  std::vector<RecordedCall> calls = log.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_STREQ(calls[0].name, "InitControl");
  EXPECT_EQ(calls[0].dof, 6);
}

TEST_F(ServoControlTest, EachTickCallsPreprocessModePostprocessInOrder) {
  h.tick(2);
  EXPECT_EQ(log.names(), (std::vector<std::string>{"PreprocessControl", controlModeTickName(kFloat),
                                                   "PostprocessControl", "PreprocessControl",
                                                   controlModeTickName(kFloat), "PostprocessControl"}));
}

TEST_F(ServoControlTest, NocontrolHasNoInitAndTicksNoControl) {
  selectMode(kNoControl);
  EXPECT_TRUE(log.names().empty());
  h.tick();
  EXPECT_EQ(log.names()[1], controlModeTickName(kNoControl));
}

TEST_F(ServoControlTest, JointGoalIsStoredInRadiansBeforeTheInitCall) {
  setGains(ConstantType::kKp, kJgoto, {1, 2, 3, 4, 5, 6});
  selectMode(kJgoto, {10, 20, 30, 40, 50, 60});
  std::vector<RecordedCall> calls = log.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_STREQ(calls[0].name, controlModeInitName(kJgoto));
  EXPECT_EQ(calls[0].qdSize, 6);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(calls[0].qd[i], float((i + 1) * 10) * 0.017453292f, 1e-6f);
  EXPECT_EQ(calls[0].dqdMagnitudeSquared, 0.0f);
  EXPECT_EQ(calls[0].kp0, 1.0f) << "gains copied before the init call";
  EXPECT_EQ(h.servo().controlMode(), kJgoto);
}

TEST_F(ServoControlTest, OperationalGoalCarriesElbowAndFrame) {
  selectMode(kXtrack, {0.4f, 0.1f, 0.3f, 1, 0, 0, 0}, 1);
  std::vector<RecordedCall> calls = log.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_STREQ(calls[0].name, controlModeInitName(kXtrack));
  EXPECT_EQ(calls[0].xdSize, 7);
  EXPECT_FLOAT_EQ(calls[0].xd[0], 0.4f);
  EXPECT_EQ(calls[0].elbow, 1);
  EXPECT_FLOAT_EQ(h.state().Td.translation[0], 0.4f);
  EXPECT_FLOAT_EQ(h.state().Td.translation[2], 0.3f);
}

TEST_F(ServoControlTest, GainsAreCopiedEveryTickSoAChangeActsAtTheNextTick) {
  selectMode(kJmove, {0, 0, 0, 0, 0, 0});
  h.tick();
  setGains(ConstantType::kKp, kJmove, {77, 1, 1, 1, 1, 1});
  auto gains = ofType(h.replies(), SERVO_GAINS);
  ASSERT_EQ(gains.size(), 1u) << "kp sends only that mode's gains";
  EXPECT_EQ(gains[0].msg->readInt(), kJmove);
  log.clear();
  h.tick();
  std::vector<RecordedCall> calls = log.calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_STREQ(calls[1].name, controlModeTickName(kJmove));
  EXPECT_EQ(calls[1].kp0, 77.0f);
  setGains(ConstantType::kKv, kJmove, {9, 1, 1, 1, 1, 1});
  log.clear();
  h.tick();
  EXPECT_EQ(log.calls()[1].kv0, 9.0f);
  h.replies();
  setGains(ConstantType::kKp, 30, {1});
  EXPECT_NE(textOf(h.replies()).find("no such mode"), std::string::npos);
}

TEST_F(ServoControlTest, TruncatedGoalChangesNothing) {
  selectMode(kJgoto, {10, 20, 30});
  EXPECT_EQ(h.servo().controlMode(), kFloat);
  EXPECT_TRUE(log.names().empty());
  EXPECT_NE(textOf(h.replies()).find("shorter than its type requires"), std::string::npos);
}

TEST_F(ServoControlTest, UnknownModeEndsTheSessionAndFloatsMeanwhile) {
  selectMode(30);
  EXPECT_EQ(log.names(), std::vector<std::string>{controlModeInitName(kFloat)});
  EXPECT_TRUE(sessionEnded.load());
  EXPECT_EQ(textOf(h.replies()), "Unknown control mode. Shutting down.\n");
  log.clear();
  h.servo().servoTick();
  h.servo().servoTick();
  EXPECT_EQ(log.names()[1], controlModeTickName(kFloat));
  EXPECT_EQ(textOf(h.replies()),
            "No control mode. Defaulting to Float.\nNo control mode. Defaulting to Float.\n");
}

TEST_F(ServoControlTest, TorqueLimitingClampsUnlessSwitchedOff) {
  log.setTickTorque(1000);
  h.tick();
  const PrVector& tauMax = h.state().tauMax;
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(h.servo().sentTorques()[i], tauMax[i]);
  log.setTickTorque(-1000);
  h.tick();
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(h.servo().sentTorques()[i], -tauMax[i]);
  CMsg toggle;
  toggle.setType(UI_CONSTANT);
  toggle.writeInt(constantNumber(ConstantType::kTorqueLimit));
  h.request(toggle);
  EXPECT_FALSE(h.servo().torqueLimitOn());
  h.tick();
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(h.servo().sentTorques()[i], -1000.0f);
}

TEST_F(ServoControlTest, NonFiniteTorquesNeverReachTheArm) {
  log.setTickTorque(NAN);
  h.tick(3);
  EXPECT_EQ(h.servo().refusedTorqueTicks(), 3);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(h.servo().sentTorques()[i], 0.0f);
  EXPECT_TRUE(h.state().q.isFinite());
  std::string text = textOf(h.replies());
  EXPECT_EQ(text.find("not finite"), text.rfind("not finite")) << "reported once per run of bad ticks";
  EXPECT_NE(text.find("not finite"), std::string::npos);
  log.setTickTorque(1);
  h.tick();
  EXPECT_FLOAT_EQ(h.servo().sentTorques()[0], 1.0f);
}

TEST_F(ServoControlTest, NonFiniteSensedStateResetsTheArmToRest) {
  PrVector q(6), dq(6);
  q[1] = 0.5f;
  dq[2] = NAN;
  h.servo().robotDriver()->setState(q, dq);
  h.servo().updateState();
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(h.state().q[i], 0.0f);
    EXPECT_EQ(h.state().dq[i], 0.0f);
  }
  PrVector sensed;
  h.servo().robotDriver()->getJointPositions(sensed);
  EXPECT_EQ(sensed[1], 0.0f) << "the arm itself is reset, not just the record";
}

TEST_F(ServoControlTest, RobotTypeChangeResizesEverythingAndAnnouncesIt) {
  selectMode(kJgoto, {0, 0, 0, 0, 0, 0});
  CMsg msg;
  msg.setType(UI_CONSTANT);
  msg.writeInt(constantNumber(ConstantType::kRobotType));
  msg.writeInt(0);
  h.request(msg);
  const ServoState& s = h.state();
  EXPECT_EQ(h.servo().robotType(), 0);
  EXPECT_EQ(s.dof, 1);
  EXPECT_EQ(h.servo().controlMode(), kFloat);
  for (const PrVector* v : {&s.tau, &s.q, &s.dq, &s.qd, &s.dqd, &s.ddqd, &s.B, &s.G, &s.qmin, &s.q0, &s.kj})
    EXPECT_EQ(v->size(), 1);
  EXPECT_EQ(s.x.size(), 1);
  EXPECT_EQ(s.J.row(), 1);
  EXPECT_EQ(s.J.column(), 1);
  EXPECT_EQ(s.E.row(), 1);
  EXPECT_EQ(s.kpTable[kJgoto].size(), 1);
  auto all = h.replies();
  // setRobotType announces the configuration and the 24 gain tables; the
  // constant handler then sends the configuration once more.
  EXPECT_EQ(ofType(all, SERVO_CONFIG).size(), 2u);
  EXPECT_EQ(ofType(all, SERVO_GAINS).size(), size_t(kNumControlModes));
  Reply config = ofType(all, SERVO_CONFIG)[0];
  EXPECT_EQ(config.msg->readInt(), 0);
  EXPECT_EQ(config.msg->readInt(), 1);
  EXPECT_EQ(config.msg->readInt(), 1);
  h.tick(3);
  EXPECT_TRUE(h.state().q.isFinite());
}

TEST(ServoMissingPluginTest, MissingModeRunsWithoutControlAndIsReportedOncePerSwitch) {
  ServoHarness h("broken_plugin");
  ASSERT_TRUE(h.servo().servoInit());
  RecordingLog log("broken_plugin");
  log.setTickTorque(5);
  h.replies();
  CMsg msg;
  msg.setType(UI_CONTROL_MODE);
  msg.writeInt(kJgoto);
  for (int i = 0; i < 6; ++i) msg.writeFloat(0);
  h.request(msg);
  h.tick(5);
  std::string text = textOf(h.replies());
  EXPECT_NE(text.find("control.dll has no jgotoControl"), std::string::npos);
  const char* tick = controlModeTickName(kJgoto);
  EXPECT_EQ(text.find(tick), text.rfind(tick)) << "once per switch, not per tick";
  for (int i = 0; i < 6; ++i) EXPECT_EQ(h.servo().sentTorques()[i], 0.0f) << "behaves like nocontrol";
  log.setTickTorque(0);
}

TEST(ServoNoPluginTest, AbsentLibraryStillRunsTheLoop) {
  ServoHarness h("no_such_plugin");
  ASSERT_TRUE(h.servo().servoInit());
  h.tick(10);
  EXPECT_NEAR(h.state().curTime, 0.02f, 1e-6f);
  EXPECT_TRUE(h.state().q.isFinite());
}

}  // namespace
