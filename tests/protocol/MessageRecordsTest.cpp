// The gains record and the control-mode request: every mode's request as the
// table shapes it reads back as sent, and bodies that disagree with their
// own counts are refused.
#include <gtest/gtest.h>

#include <vector>

#include "MappedMessage.h"
#include "matrix/PrVector.h"
#include "protocol/ControlModeRequest.h"
#include "protocol/ControlModeTable.h"
#include "protocol/GainsRecord.h"
#include "utility/unitMsg.h"

namespace {

constexpr int kDof = 6;
constexpr int kConfigParms = 7;

TEST(ControlModeRequestRecord, EveryModeRoundTripsWithTheGoalItsKindTakes) {
  const float goal[kMaxGoalValues] = {10, -20, 30.5f, -0.0f, 1e-30f, 179.9f, 0.25f};
  for (const ControlModeInfo& m : kControlModes) {
    SCOPED_TRACE(m.word);
    const int count = m.goal == GoalKind::kJoint ? kDof : m.goal == GoalKind::kNone ? 0 : kConfigParms;
    CMsg msg;
    writeControlModeRequest(msg, m.mode, goal, count, 8);
    EXPECT_EQ(msg.getType(), UI_CONTROL_MODE);
    EXPECT_EQ(msg.position(), MSG_HEADER_SIZE + 4 + 4 * count + (m.goal == GoalKind::kConfigElbow ? 4 : 0));

    std::vector<char> bytes;
    CMappedMsg in = mapped(msg, bytes);
    EXPECT_EQ(leadingMode(in), m.mode);
    ControlModeRequest got;
    got.elbow = -5;  // kept unless the mode carries an elbow
    ASSERT_TRUE(readControlModeRequest(in, kDof, kConfigParms, got));
    EXPECT_EQ(in.position(), in.length());
    EXPECT_EQ(got.mode, m.mode);
    ASSERT_EQ(got.goalCount, count);
    for (int i = 0; i < count; ++i) EXPECT_EQ(got.goal[i], goal[i]) << i;
    EXPECT_EQ(got.elbow, m.goal == GoalKind::kConfigElbow ? 8 : -5);

    if (count == 0) continue;
    // Cut inside the goal (or the elbow): refused.
    CMappedMsg cut = mapped(msg, bytes, msg.position() - 1);
    ControlModeRequest short_;
    EXPECT_FALSE(readControlModeRequest(cut, kDof, kConfigParms, short_));
  }
}

TEST(ControlModeRequestRecord, AnUnknownModeTravelsAlone) {
  for (int mode : {-1, kNumControlModes, 30}) {
    CMsg msg;
    writeControlModeRequest(msg, mode);
    EXPECT_EQ(msg.position(), MSG_HEADER_SIZE + 4);
    std::vector<char> bytes;
    CMappedMsg in = mapped(msg, bytes);
    ControlModeRequest got;
    ASSERT_TRUE(readControlModeRequest(in, kDof, kConfigParms, got));
    EXPECT_EQ(got.mode, mode);
    EXPECT_EQ(got.goalCount, 0);
  }
  CMsg empty;
  empty.setType(UI_CONTROL_MODE);
  std::vector<char> bytes;
  EXPECT_EQ(leadingMode(mapped(empty, bytes)), -1) << "no mode at all";
}

TEST(GainsRecord, RoundTripsEmptyAndFullTables) {
  for (int n : {0, 1, 6, 7}) {
    SCOPED_TRACE(n);
    PrVector kp(n), kv(n);
    for (int i = 0; i < n; ++i) {
      kp[i] = 100.0f * static_cast<float>(i + 1);
      kv[i] = -0.5f * static_cast<float>(i);
    }
    CMsg msg;
    writeGains(msg, kProj3, kp, kv);
    EXPECT_EQ(msg.getType(), SERVO_GAINS);
    std::vector<char> bytes;
    CMappedMsg in = mapped(msg, bytes);
    EXPECT_EQ(leadingMode(in), kProj3);
    int mode = -1;
    PrVector gotKp(3), gotKv;
    ASSERT_TRUE(readGains(in, mode, gotKp, gotKv));
    EXPECT_EQ(mode, kProj3);
    EXPECT_EQ(gotKp, kp);
    EXPECT_EQ(gotKv, kv);
  }
}

TEST(GainsRecord, AModeOrCountThatDisagreesIsRefused) {
  struct Case {
    int mode, n, floats;
  };
  // n is checked against the body before 2 + 2n is formed: a huge n must not overflow.
  for (Case bad : {Case{kNumControlModes, 6, 12}, Case{-1, 6, 12}, Case{8, 5, 12}, Case{8, 7, 12},
                   Case{8, -1, 12}, Case{8, 1073745920, 12}, Case{8, 2147483647, 12}, Case{8, 6, 11}}) {
    SCOPED_TRACE(testing::Message() << "mode " << bad.mode << ", n " << bad.n << ", " << bad.floats
                                    << " floats");
    CMsg msg;
    msg.setType(SERVO_GAINS);
    msg.writeInt(bad.mode);
    msg.writeInt(bad.n);
    for (int i = 0; i < bad.floats; ++i) msg.writeFloat(1);
    std::vector<char> bytes;
    CMappedMsg in = mapped(msg, bytes);
    int mode = 0;
    PrVector kp, kv;
    EXPECT_FALSE(readGains(in, mode, kp, kv));
  }
}

}  // namespace
