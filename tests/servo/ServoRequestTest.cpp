// Requests through the real queues: every report, its payload size per robot
// type, its routing by destination, and the refusals of malformed requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ServoHarness.h"
#include "libpuma/CSimPuma.h"
#include "libpuma/RobotModelFactory.h"
#include "protocol/ConstantType.h"
#include "servo/LimitShapes.h"

namespace {

constexpr int kDestText = 0, kDestUi = 1, kDestLocal = 2;

class ServoRequestTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.servo().servoInit());
    h.replies();
  }
  void setRobotType(int type) {
    CMsg msg;
    msg.setType(UI_CONSTANT);
    msg.writeInt(constantNumber(ConstantType::kRobotType));
    msg.writeInt(type);
    h.request(msg);
  }
  // Body size in floats of the single reply to `code` with dest 1.
  int replyFloats(int code) {
    h.request(code, kDestUi);
    auto all = code == UI_MSI ? h.awaitReplies(1) : h.replies();
    EXPECT_EQ(all.size(), 1u) << "request " << code;
    if (all.empty()) return -1;
    EXPECT_EQ(all[0].type, code) << "replies carry the request's code";
    return (all[0].length - MSG_HEADER_SIZE) / 4;
  }
  ServoHarness h;
};

TEST_F(ServoRequestTest, InitialisationSendsConfigurationThenAllGains) {
  ServoHarness fresh;
  ASSERT_TRUE(fresh.servo().servoInit());
  auto all = fresh.replies();
  ASSERT_EQ(all.size(), 1u + kNumControlModes);
  EXPECT_EQ(all[0].type, SERVO_CONFIG);
  for (int mode = 0; mode < kNumControlModes; ++mode) {
    ASSERT_EQ(all[1 + mode].type, SERVO_GAINS);
    EXPECT_EQ(all[1 + mode].msg->readInt(), mode);
    EXPECT_EQ(all[1 + mode].msg->readInt(), 6);
  }
  EXPECT_EQ(fresh.servo().controlMode(), kFloat);
  EXPECT_EQ(fresh.servo().robotType(), 3);
  EXPECT_EQ(fresh.state().dof, 6);
  EXPECT_TRUE(fresh.servo().servoInit()) << "a second call returns at once";
  EXPECT_TRUE(fresh.replies().empty());
}

TEST_F(ServoRequestTest, PayloadSizesFollowTheRobotType) {
  for (int type = 0; type < kRobotTypeCount; ++type) {
    SCOPED_TRACE(type);
    setRobotType(type);
    h.tick();
    h.replies();
    const int dof = h.state().dof;
    const int c = h.servo().robotModel()->m_numConfigParms;
    EXPECT_EQ(replyFloats(UI_Q), dof);
    EXPECT_EQ(replyFloats(UI_DQ), dof);
    EXPECT_EQ(replyFloats(UI_TAU), dof);
    EXPECT_EQ(replyFloats(UI_X), c);
    EXPECT_EQ(replyFloats(UI_FORCES), 6);
    EXPECT_EQ(replyFloats(UI_CURTIME), 1);
    EXPECT_EQ(replyFloats(UI_MSI), kSphereFloats);
    EXPECT_EQ(replyFloats(UI_EMASS), 12);
    EXPECT_EQ(replyFloats(UI_ACC_LIMIT), 3 << dof);
    EXPECT_EQ(replyFloats(UI_SFORCE_LIMIT), 3 << dof);
  }
}

TEST_F(ServoRequestTest, JointValuesAreReportedInDegrees) {
  h.tick(20);
  h.replies();
  h.request(UI_Q, kDestLocal);
  auto all = h.replies();
  ASSERT_EQ(all.size(), 1u);
  std::vector<float> q = all[0].floats();
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(q[i], h.state().q[i] * 57.29578f, 1e-3f);
  h.request(UI_CURTIME, kDestUi);
  EXPECT_FLOAT_EQ(h.replies()[0].msg->readFloat(), h.state().curTime);
}

TEST_F(ServoRequestTest, DestinationZeroPrintsAndOtherDestinationsStaySilent) {
  h.request(UI_TAU, kDestText);
  EXPECT_EQ(textOf(h.replies()).rfind("tau = (", 0), 0u);
  h.request(UI_CURTIME, kDestText);
  EXPECT_EQ(textOf(h.replies()), "0.000000\n");
  h.request(UI_CMODE, kDestText);
  EXPECT_EQ(textOf(h.replies()), "cmode=1\n");
  for (int code : {UI_KJ, UI_KP, UI_KV}) {
    h.request(code, kDestText);
    EXPECT_FALSE(textOf(h.replies()).empty());
    h.request(code, kDestUi);
    EXPECT_TRUE(h.replies().empty()) << "kj, kp, kv and cmode only print";
  }
  h.request(UI_Q, 7);
  EXPECT_TRUE(h.replies().empty()) << "an unknown destination gets nothing";
}

TEST_F(ServoRequestTest, PrintDebugOnlyForDestinationZero) {
  RecordingLog log;
  log.clear();
  h.request(UI_DEBUG, kDestUi);
  EXPECT_TRUE(log.names().empty());
  h.request(UI_DEBUG, kDestText);
  EXPECT_EQ(log.names(), std::vector<std::string>{"PrintDebug"});
}

TEST_F(ServoRequestTest, VisualisationCacheDropsRepeatsAtRest) {
  h.request(UI_MSI, kDestUi);
  EXPECT_EQ(h.awaitReplies(1).size(), 1u);
  h.request(UI_MSI, kDestUi);
  EXPECT_TRUE(h.replies().empty()) << "same request, arm at rest: no reply";
  CMsg toggle;
  toggle.setType(UI_CONSTANT);
  toggle.writeInt(constantNumber(ConstantType::kMaxVelDisplay));
  toggle.writeInt(1);
  h.request(toggle);
  EXPECT_TRUE(h.replies().empty()) << "display switches send nothing";
  h.request(UI_MSI, kDestUi);
  EXPECT_EQ(h.awaitReplies(1).size(), 1u) << "setifmaxvel changed: recomputed";
  h.request(UI_EMASS, kDestUi);
  h.request(UI_MSI, kDestUi);
  EXPECT_EQ(h.awaitReplies(2).size(), 2u) << "one cache for all four codes";
}

// At rest, what else a shape depends on still counts: the ellipsoid switched
// to the contact point, and that point set, each give a new answer.
TEST_F(ServoRequestTest, VisualisationCacheSeesTheEllipsoidsPointMove) {
  auto emass = [&] {
    h.request(UI_EMASS, kDestUi);
    auto all = h.replies();
    return all.size() == 1 ? all[0].floats() : std::vector<float>{};
  };
  auto nonZero = [](const std::vector<float>& v) {
    return std::any_of(v.begin(), v.end(), [](float x) { return x != 0; });
  };
  ASSERT_TRUE(nonZero(emass())) << "at the end effector";
  CMsg atContact;
  atContact.setType(UI_CONSTANT);
  atContact.writeInt(24);
  atContact.writeInt(0);
  h.request(atContact);
  const std::vector<float> none = emass();
  ASSERT_EQ(none.size(), 12u) << "setemasspos 0 at rest: recomputed";
  EXPECT_FALSE(nonZero(none)) << "no contact point set yet";
  EXPECT_TRUE(emass().empty()) << "nothing changed since: no reply";
  CMsg contact;
  contact.setType(UI_SET_CONTACT_POINT);
  contact.writeInt(5);
  for (float v : {0.0f, 0.0f, 0.1f}) contact.writeFloat(v);
  for (int i = 0; i < 6; ++i) contact.writeFloat(0);
  h.request(contact);
  EXPECT_TRUE(nonZero(emass())) << "a contact point set at rest: recomputed";
}

// Requests that come while a sphere is being built are not lost: the last of
// them is built next, and its answer goes where it asked.
TEST_F(ServoRequestTest, MsiRequestsWhileOneIsBuiltGetTheLatestAnswered) {
  CMsg toggle;
  toggle.setType(UI_CONSTANT);
  toggle.writeInt(constantNumber(ConstantType::kMaxVelDisplay));
  toggle.writeInt(1);
  h.request(UI_MSI, kDestUi);
  h.request(toggle);
  h.request(UI_MSI, kDestLocal);
  auto all = h.awaitReplies(2);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].length, all[1].length);
  EXPECT_NE(all[0].floats(), all[1].floats()) << "the second one shows the effective mass";
}

TEST_F(ServoRequestTest, EffectiveMassAtAContactPointNeverSetIsZero) {
  CMsg off;
  off.setType(UI_CONSTANT);
  off.writeInt(constantNumber(ConstantType::kEmassPos));
  off.writeInt(0);
  h.request(off);
  h.request(UI_EMASS, kDestUi);
  auto all = h.replies();
  ASSERT_EQ(all.size(), 1u);
  for (float v : all[0].floats()) EXPECT_EQ(v, 0.0f);
}

TEST_F(ServoRequestTest, MsiOffTheEndEffectorRepliesZeros) {
  CMsg off;
  off.setType(UI_CONSTANT);
  off.writeInt(constantNumber(ConstantType::kMsiPos));
  off.writeInt(0);
  h.request(off);
  h.request(UI_MSI, kDestUi);
  auto all = h.replies();
  ASSERT_EQ(all.size(), 1u);
  std::vector<float> points = all[0].floats();
  ASSERT_EQ(points.size(), size_t(kSphereFloats));
  for (float v : points) EXPECT_EQ(v, 0.0f);
}

TEST_F(ServoRequestTest, MsiPointsLieAlongTheRotatedSphereDirections) {
  h.request(UI_MSI, kDestUi);
  auto all = h.awaitReplies(1);
  ASSERT_EQ(all.size(), 1u);
  std::vector<float> points = all[0].floats();
  int nonZero = 0;
  for (int k = 0; k < kSphereFloats; k += 3) {
    const float n =
        std::sqrt(points[k] * points[k] + points[k + 1] * points[k + 1] + points[k + 2] * points[k + 2]);
    EXPECT_TRUE(std::isfinite(n));
    nonZero += n > 0;
  }
  EXPECT_GT(nonZero, 300) << "the velocity hull surrounds the origin for the full arm";
}

TEST_F(ServoRequestTest, GatheringSendsOneRowPerTickOfTheListedVectors) {
  for (int type : {0, 1, 3, 6}) {
    SCOPED_TRACE(type);
    setRobotType(type);
    h.replies();
    CMsg start;
    start.setType(UI_START_GATHER);
    start.writeString("run.dat");
    h.request(start);
    auto started = h.replies();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].type, SERVO_START_GATHER);
    EXPECT_EQ(started[0].text(), "run.dat");
    h.tick(3);
    auto rows = ofType(h.replies(), SERVO_GATHER_DATA);
    ASSERT_EQ(rows.size(), 3u);
    const int dof = h.state().dof;
    const int c = h.servo().robotModel()->m_numConfigParms;
    const int r = h.servo().robotModel()->m_taskDof;
    const int n = rows[2].msg->readInt();
    EXPECT_EQ(n, 1 + 3 * dof + 2 * c + r);
    EXPECT_FLOAT_EQ(rows[2].msg->readFloat(), h.state().curTime) << "time first";
    EXPECT_EQ(rows[2].length, MSG_HEADER_SIZE + 4 + 4 * n);
    h.requestEmpty(UI_STOP_GATHER);
    auto stopped = h.replies();
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(stopped[0].type, SERVO_STOP_GATHER);
    h.tick();
    EXPECT_TRUE(h.replies().empty());
  }
}

// Rows of another width would make the file ragged: the type change closes it.
TEST_F(ServoRequestTest, RobotTypeChangeStopsARunningGather) {
  CMsg start;
  start.setType(UI_START_GATHER);
  start.writeString("run.dat");
  h.request(start);
  h.tick(2);
  h.replies();
  setRobotType(1);
  auto all = h.replies();
  ASSERT_EQ(ofType(all, SERVO_STOP_GATHER).size(), 1u);
  EXPECT_NE(textOf(all).find("Robot type changed: gathering stopped."), std::string::npos);
  EXPECT_FALSE(h.servo().gatherOn());
  h.tick(2);
  EXPECT_TRUE(ofType(h.replies(), SERVO_GATHER_DATA).empty());

  setRobotType(3);  // without a gather nothing is said
  EXPECT_TRUE(ofType(h.replies(), SERVO_STOP_GATHER).empty());
}

TEST_F(ServoRequestTest, MalformedRequestsAreRefusedWithAMessage) {
  h.requestEmpty(UI_Q);
  EXPECT_NE(textOf(h.replies()).find("shorter than its type requires"), std::string::npos);

  CMsg unknown;
  unknown.setType(40);
  h.request(unknown);
  EXPECT_EQ(textOf(h.replies()), "Unknown message type from UI: 40\n");

  CMsg constant;
  constant.setType(UI_CONSTANT);
  constant.writeInt(99);
  h.request(constant);
  EXPECT_EQ(textOf(h.replies()), "Unknown constant type from UI: 99\n");

  setRobotType(7);
  EXPECT_NE(textOf(h.replies()).find("Robot type 7"), std::string::npos);
  EXPECT_EQ(h.servo().robotType(), 3);

  char longName[300];
  std::fill(longName, longName + 299, 'a');
  longName[299] = '\0';
  CMsg gather;
  gather.setType(UI_START_GATHER);
  gather.writeString(longName);
  h.request(gather);
  auto all = h.replies();
  EXPECT_TRUE(ofType(all, SERVO_START_GATHER).empty());
  EXPECT_NE(textOf(all).find("Gather file name"), std::string::npos);
  EXPECT_FALSE(h.servo().gatherOn());

  CMsg contact;
  contact.setType(UI_SET_CONTACT_POINT);
  contact.writeInt(9);
  for (int i = 0; i < 9; ++i) contact.writeFloat(0);
  h.request(contact);
  EXPECT_NE(textOf(h.replies()).find("Contact link 9"), std::string::npos);

  CMsg target;
  target.setType(UI_APPLY_CONTACT_FORCE);
  target.writeFloat(0);
  target.writeFloat(NAN);
  target.writeFloat(0);
  h.request(target);
  EXPECT_NE(textOf(h.replies()).find("not a finite number"), std::string::npos);
}

TEST_F(ServoRequestTest, ContactSpringFollowsItsRequests) {
  CMsg contact;
  contact.setType(UI_SET_CONTACT_POINT);
  contact.writeInt(5);
  for (int i = 0; i < 3 + 6; ++i) contact.writeFloat(0);
  h.request(contact);
  CMsg target;
  target.setType(UI_APPLY_CONTACT_FORCE);
  for (float v : {0.3f, 0.2f, 0.1f}) target.writeFloat(v);
  h.request(target);
  auto* arm = dynamic_cast<CSimPuma*>(h.servo().robotDriver());
  ASSERT_NE(arm, nullptr);
  EXPECT_TRUE(arm->springActive());
  h.requestEmpty(UI_REMOVE_CONTACT_FORCE);
  EXPECT_FALSE(arm->springActive());
  h.request(UI_GRIPPER, 42);
  EXPECT_EQ(h.servo().gripperValue(), 42);
  h.requestEmpty(UI_RESET);
  EXPECT_TRUE(textOf(h.replies()).empty());
}

TEST_F(ServoRequestTest, QuitEndsTheSession) {
  EXPECT_FALSE(sessionEnded.load());
  h.requestEmpty(UI_QUIT);
  EXPECT_TRUE(sessionEnded.load());
}

}  // namespace
