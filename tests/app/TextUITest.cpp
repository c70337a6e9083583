// The console against a stand-in servo: the test plays the servo side of the
// two in-process queues, so every request the console sends can be decoded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StandInConfiguration.h"
#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "protocol/ConstantType.h"
#include "protocol/GainsRecord.h"
#include "protocol/ServoConfiguration.h"
#include "utility/MesgQueue.h"

namespace {

struct Request {
  int type = -1;
  std::vector<int> ints;
  std::vector<float> floats;
};

class TextUITest : public testing::Test {
 protected:
  void SetUp() override {
    m_agent = std::make_unique<UiAgent>();
    m_servo = std::make_unique<ServoAgent>();
    m_ui = std::make_unique<TextUI>(m_servo.get());
    sendConfiguration(/*jlimit=*/true);
    sendGains(8, 6);
    m_ui->pollServoMessages();
  }

  void TearDown() override {
    m_ui.reset();
    m_servo.reset();
    m_agent.reset();
    MesgQueue::releaseAllCollections();
  }

  // A SERVO_CONFIG for a six-joint arm with seven configuration parameters,
  // joint limits of +-160 degrees and one obstacle.
  void sendConfiguration(bool jlimit) {
    ServoConfiguration config = standInConfiguration(3, 6, 7);
    config.jlimit = jlimit;
    config.obstacles.push_back({42, PrVector3(0.5f, 0.25f, 0.125f), 0.1f});
    setLine(config.line, PrVector3(0, 0, 0), PrVector3(0, 0, 0));  // equal end points
    CMsg msg;
    writeServoConfiguration(msg, config);
    m_agent->reply(msg, 2);
  }

  void sendGains(int mode, int n) {
    PrVector kp(n), kv(n);
    for (int i = 0; i < n; ++i) {
      kp[i] = static_cast<float>(i);
      kv[i] = static_cast<float>(n + i);
    }
    CMsg msg;
    writeGains(msg, mode, kp, kv);
    m_agent->reply(msg, 2);
  }

  // Decodes the next request: ints first, then as many floats as remain.
  Request nextRequest(int ints) {
    Request request;
    if (!m_agent->poll()) return request;
    CMappedMsg msg = m_agent->read();
    request.type = msg.getType();
    for (int i = 0; i < ints; ++i) request.ints.push_back(msg.readInt());
    while (msg.position() < msg.length()) request.floats.push_back(msg.readFloat());
    return request;
  }

  bool noRequest() { return !m_agent->poll(); }

  bool run(const char* line, std::string* error = nullptr) {
    char reply[CommandDispatcher::kReplySize] = "untouched";
    testing::internal::CaptureStderr();
    const bool ok = m_ui->processCommand(line, reply);
    const std::string printed = testing::internal::GetCapturedStderr();
    if (error != nullptr) *error = reply;
    if (!ok) {
      EXPECT_EQ(printed, std::string(reply) + "\n");
    }
    return ok;
  }

  std::unique_ptr<UiAgent> m_agent;
  std::unique_ptr<ServoAgent> m_servo;
  std::unique_ptr<TextUI> m_ui;
};

TEST_F(TextUITest, ConfigurationAndGainsAreStored) {
  const ServoConfiguration config = m_ui->configuration();
  EXPECT_EQ(config.robotType, 3);
  EXPECT_EQ(config.dof, 6);
  EXPECT_EQ(config.numConfigParms, 7);
  EXPECT_FLOAT_EQ(config.simSpeed, 8.0f);
  EXPECT_TRUE(config.jlimit);
  EXPECT_FLOAT_EQ(config.qmax[5], 160.0f);
  EXPECT_FLOAT_EQ(config.xmin[6], -1.0f);
  ASSERT_EQ(config.obstacles.size(), 1u);
  EXPECT_EQ(config.obstacles[0].id, 42);
  EXPECT_FLOAT_EQ(config.obstacles[0].center[2], 0.125f);
  EXPECT_TRUE(config.line.enabled);
  EXPECT_FLOAT_EQ(config.line.direction[0], 1.0f);  // equal end points
  EXPECT_EQ(m_ui->updateCount(), 2);
  PrVector kp, kv;
  m_ui->getKp(8, kp);
  m_ui->getKv(8, kv);
  ASSERT_EQ(kp.size(), 6);
  EXPECT_FLOAT_EQ(kp[5], 5.0f);
  EXPECT_FLOAT_EQ(kv[0], 6.0f);
}

// Counts that do not match the body, also ones whose doubled value overflows, are refused.
TEST_F(TextUITest, GainsWithABadCountAreRefusedAndKeepTheStoredOnes) {
  for (int n : {5, 7, -1, 1073745920, 2147483647}) {
    SCOPED_TRACE(n);
    CMsg msg;
    msg.setType(SERVO_GAINS);
    msg.writeInt(8);
    msg.writeInt(n);
    for (int i = 0; i < 12; ++i) msg.writeFloat(100.0f);
    m_agent->reply(msg, 2);
    testing::internal::CaptureStderr();
    m_ui->pollServoMessages();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Malformed servo message"), std::string::npos);
  }
  PrVector kp;
  m_ui->getKp(8, kp);
  ASSERT_EQ(kp.size(), 6);
  EXPECT_FLOAT_EQ(kp[5], 5.0f);
}

TEST_F(TextUITest, BlankLinesSucceedAndWordsMayBeSurroundedByBlanks) {
  EXPECT_TRUE(run(""));
  EXPECT_TRUE(run("   \t \n"));
  EXPECT_TRUE(noRequest());
  EXPECT_TRUE(run("   float   \n"));
  const Request request = nextRequest(1);
  EXPECT_EQ(request.type, UI_CONTROL_MODE);
  EXPECT_EQ(request.ints, std::vector<int>{kFloat});
  EXPECT_TRUE(request.floats.empty());
}

TEST_F(TextUITest, GainsTakeAModeAndAsManyValuesAsAreStored) {
  EXPECT_TRUE(run("kp 8 1 2 3 4 5 6"));
  Request request = nextRequest(2);
  EXPECT_EQ(request.type, UI_CONSTANT);
  EXPECT_EQ(request.ints, (std::vector<int>{constantNumber(ConstantType::kKp), kJmove}));
  EXPECT_EQ(request.floats, (std::vector<float>{1, 2, 3, 4, 5, 6}));

  std::string error;
  EXPECT_FALSE(run("kp 8 1 2 3 4 5", &error));
  EXPECT_EQ(error, "Error in arguments; expected 7 args");
  EXPECT_FALSE(run("kv 24 1", &error));  // there is no mode 24
  EXPECT_EQ(error, "Error in arguments; kv expects a control mode");
  EXPECT_TRUE(noRequest());
}

TEST_F(TextUITest, JointGoalsAreCheckedAgainstTheStoredLimits) {
  testing::internal::CaptureStderr();
  std::string error;
  EXPECT_FALSE(m_ui->processCommand("jgoto 0 0 0 0 0 170"));
  m_ui->pollServoMessages();  // the offending joint travels as console text
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, "Error: joint limits exceeded.\njoint 5 pos = 170.000000\n");
  EXPECT_TRUE(noRequest());

  EXPECT_TRUE(run("jgoto 0 0 0 0 0 160"));  // limits are inclusive
  EXPECT_EQ(nextRequest(2).ints, (std::vector<int>{kJgoto, 0}));

  sendConfiguration(/*jlimit=*/false);
  m_ui->pollServoMessages();
  EXPECT_TRUE(run("jgoto 0 0 0 0 0 170"));
  const Request request = nextRequest(1);
  EXPECT_EQ(request.ints, std::vector<int>{kJgoto});
  EXPECT_EQ(request.floats, (std::vector<float>{0, 0, 0, 0, 0, 170}));
}

TEST_F(TextUITest, IntegerArgumentsByScanOrByBaseDetection) {
  EXPECT_TRUE(run("gripper 0x10"));  // a decimal scan stops at the x
  EXPECT_EQ(nextRequest(1).ints, std::vector<int>{0});
  EXPECT_TRUE(run("robottype 0x3"));
  EXPECT_EQ(nextRequest(2).ints, (std::vector<int>{constantNumber(ConstantType::kRobotType), 3}));
  EXPECT_TRUE(run("delobstacle 010"));  // octal
  EXPECT_EQ(nextRequest(2).ints, (std::vector<int>{constantNumber(ConstantType::kDelObstacle), 8}));
  std::string error;
  EXPECT_FALSE(run("robottype 9", &error));
  EXPECT_FALSE(run("vmax nan", &error));
  EXPECT_EQ(error, "Error in arguments; expected 1 arg");
  EXPECT_FALSE(run("delobstacle 3x", &error));
  EXPECT_TRUE(noRequest());
}

TEST_F(TextUITest, QueriesCarryTheirReplyDestination) {
  EXPECT_TRUE(run("jpos"));
  EXPECT_EQ(nextRequest(1).ints, std::vector<int>{1});
  EXPECT_TRUE(run("pjpos extra words are ignored"));
  const Request request = nextRequest(1);
  EXPECT_EQ(request.type, UI_Q);
  EXPECT_EQ(request.ints, std::vector<int>{0});
  std::string error;
  EXPECT_FALSE(run("load script.txt", &error));
  EXPECT_EQ(error, "Bad user command 'load'");
}

TEST_F(TextUITest, GettersAskForARefreshAndReturnTheStoredReply) {
  PrVector q;
  m_ui->getQ(q);
  EXPECT_EQ(q.size(), 6);  // zero-filled until the first reply
  Request request = nextRequest(1);
  EXPECT_EQ(request.type, UI_Q);
  EXPECT_EQ(request.ints, std::vector<int>{2});

  CMsg reply;
  reply.setType(SERVO_Q);
  const float angles[] = {1, 2, 3, 4, 5, 6};
  reply.writeFloats(angles, 6);
  m_agent->reply(reply, 2);
  CMsg shortReply;  // a reply of the wrong size is refused
  shortReply.setType(SERVO_Q);
  shortReply.writeFloats(angles, 3);
  m_agent->reply(shortReply, 2);
  testing::internal::CaptureStderr();
  m_ui->pollServoMessages();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Malformed servo message"), std::string::npos);
  m_ui->getQ(q);
  EXPECT_EQ(q, PrVector(angles, 6));
}

TEST_F(TextUITest, AGatherFileThatCannotBeCreatedStopsTheGather) {
  CMsg start;
  start.setType(SERVO_START_GATHER);
  start.writeString("/nonexistent-dir/data.mat");
  m_agent->reply(start, 2);
  testing::internal::CaptureStderr();
  m_ui->pollServoMessages();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "unable to open outfile /nonexistent-dir/data.mat\n"
            "Call to PrMatlab::start() failed in startGather().\n");
  EXPECT_EQ(nextRequest(0).type, UI_STOP_GATHER);
}

TEST_F(TextUITest, LongGatherFileNamesAreRefused) {
  std::string error;
  EXPECT_FALSE(run(("startgather " + std::string(128, 'a')).c_str(), &error));
  EXPECT_TRUE(noRequest());
  EXPECT_TRUE(run(("startgather " + std::string(127, 'a')).c_str()));
  EXPECT_EQ(nextRequest(0).type, UI_START_GATHER);
}

TEST_F(TextUITest, NullCommandLineIsAPreconditionFailure) {
  EXPECT_DEATH(m_ui->processCommand(nullptr), "commandStr != NULL");
}

}  // namespace
