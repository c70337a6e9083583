// Reading robot description files (formats A and B) and refusing bad ones.
#include <cmath>

#include "DynamicsTestSupport.h"

using dyntest::writeTempFile;

namespace {

// A two-joint arm in format A: an upright revolute joint, then an arm of 0.5 m,
// a 1 kg tool record 999 (point 0.2 m along z) and a 2 kg gripper 888.
std::string twoJointFile(const std::string& secondTheta = "0", const std::string& tail = "") {
  return "2\n0 0 9.81\n"
         "1 1  0 0 0 0   3.0  0 0 0.1   0.1 0.1 0.1   0.5  1 2 3  -3 3\n"
         "2 1 -1.5707963 0 0.1 " +
         secondTheta +
         "  4.0  0.25 0 0   0.02 0.2 0.2   0.3  4 5 6  -2 2\n"
         "999 1 0 0 0.5 0  1.0  0 0 0.1   0 0 0  0 0 0.2\n"
         "888 1 0 0 0.5 0  2.0  0 0 0.05  0 0 0  0 0 0\n" +
         tail;
}

std::string readAndCapture(const std::string& text, int n, int format, bool& valid) {
  const std::string path = writeTempFile("desc.prm", text);
  testing::internal::CaptureStdout();
  PrRobot robot(n, path.c_str(), 0, format);
  valid = robot.valid();
  return testing::internal::GetCapturedStdout();
}

TEST(RobotDescription, FormatABuildsTheChainAndLumpsTheAttachedBodies) {
  const std::string path = writeTempFile("two.prm", twoJointFile());
  PrRobot robot(2, path.c_str(), 0, 0);
  ASSERT_TRUE(robot.valid());
  EXPECT_EQ(robot.numJoints(), 2);
  EXPECT_EQ(robot.link(0)->parent(), robot.root());
  EXPECT_EQ(robot.link(1)->parent(), robot.link(0));
  EXPECT_EQ(robot.link(0)->child(), robot.link(1));
  EXPECT_EQ(robot.toolRecord()->id(), 999);
  EXPECT_EQ(robot.gripperRecord()->id(), 888);
  EXPECT_FLOAT_EQ(robot.gravity()[2], 9.81f);
  EXPECT_FLOAT_EQ(robot.root()->acceleration()[2], 9.81f);

  // Mass: 4 + 1 + 2; centre of mass: the mass-weighted mean, with the records
  // 0.5 m further along z (their d) than the last link's origin.
  const PrLink& last = *robot.link(1);
  EXPECT_FLOAT_EQ(last.mass(), 7.0f);
  EXPECT_NEAR(last.centerOfMass()[0], 4.0f * 0.25f / 7.0f, 1e-6f);
  EXPECT_NEAR(last.centerOfMass()[2], (1.0f * 0.6f + 2.0f * 0.55f) / 7.0f, 1e-6f);
  // Rotor inertia adds to Izz; the attached bodies leave the inertias alone.
  EXPECT_FLOAT_EQ(last.principalInertia()[2], 0.5f);
  EXPECT_FLOAT_EQ(last.principalInertia()[0], 0.02f);
  EXPECT_TRUE(last.friction() == PrVector3(4.0f, 5.0f, 6.0f));
  EXPECT_FLOAT_EQ(last.jointMin(), -2.0f);

  // Tool point: 0.5 + 0.2 m along the last link's z axis, which the α of
  // −90° turns onto the base's +y; the offset d = 0.1 also lies along it.
  const PrTransform& ee = robot.endEffector()->globalFrame();
  EXPECT_NEAR(ee.translation[0], 0.0f, 1e-6f);
  EXPECT_NEAR(ee.translation[1], 0.8f, 1e-6f);
  EXPECT_NEAR(ee.translation[2], 0.0f, 1e-6f);
}

TEST(RobotDescription, RevoluteThetaInTheFileIsIgnored) {
  const std::string a = writeTempFile("theta0.prm", twoJointFile("0"));
  const std::string b = writeTempFile("theta1.prm", twoJointFile("1.2"));
  PrRobot ra(2, a.c_str(), 0, 0), rb(2, b.c_str(), 0, 0);
  ra.positions()[1] = rb.positions()[1] = 0.4f;
  ra.updateKinematics();
  rb.updateKinematics();
  EXPECT_TRUE(ra.endEffector()->globalFrame().translation == rb.endEffector()->globalFrame().translation);
}

TEST(RobotDescription, BadFilesAreRefusedWithOneLineNamingTheProblem) {
  struct Case {
    const char* name;
    std::string text;
    const char* expected;
  };
  const std::string good = twoJointFile();
  const Case cases[] = {
      {"short", good.substr(0, good.find("999")), "end-effector record 1, id: missing"},
      {"three end records", "3" + good.substr(1), "must be 2"},
      {"no gripper",
       [&] {
         std::string t = good;
         t.replace(t.find("888"), 3, "777");
         return t;
       }(),
       "no record with id 888"},
      {"nan",
       [&] {
         std::string t = good;
         t.replace(t.find("4.0"), 3, "nan");
         return t;
       }(),
       "joint record 2, mass: not a finite number"},
      {"negative mass",
       [&] {
         std::string t = good;
         t.replace(t.find("4.0"), 3, "-4.0");
         return t;
       }(),
       "joint record 2, mass: negative"},
      {"joint type",
       [&] {
         std::string t = good;
         t.replace(t.find("2 1 -1.57"), 3, "2 7");
         return t;
       }(),
       "joint record 2, joint type"},
      {"text", "2\n0 0 gravity\n", "gravity: missing or not a number"},
  };
  for (const Case& c : cases) {
    bool valid = true;
    const std::string out = readAndCapture(c.text, 2, 0, valid);
    EXPECT_FALSE(valid) << c.name;
    EXPECT_NE(out.find("Error: robot description file("), std::string::npos) << c.name << ": " << out;
    EXPECT_NE(out.find(c.expected), std::string::npos) << c.name << ": " << out;
    EXPECT_EQ(out.find('\n'), out.size() - 1) << c.name << ": one line";
  }
}

TEST(RobotDescription, MissingFileLeavesARobotWithoutLinks) {
  testing::internal::CaptureStdout();
  PrRobot robot(6, "does-not-exist.prm", 0, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: couldn't open file(does-not-exist.prm)\n");
  EXPECT_FALSE(robot.valid());
  EXPECT_EQ(robot.numJoints(), 0);
  EXPECT_DEATH(robot.forwardDynamics(), "valid\\(\\)");
}

// Format B: a y-axis revolute joint on a rotated root, then a prismatic x-axis
// joint. Inverse then forward dynamics must agree for these axes too.
TEST(RobotDescription, FormatBWithOtherAxesAndAPrismaticJoint) {
  const std::string text =
      "0 0 9.81\n"
      "1 0 0 0.3   0 0 0.5\n"
      "1 1 1   0 0 1 0   0 0 0.2   0.1 0 0.05  2.0  0.05 0.04 0.03  -1 1\n"
      "2 0 0   0 1 0 0.4   0.3 0 0   0 0.02 0  1.5  0.01 0.02 0.02  0 0.5\n";
  const std::string path = writeTempFile("b.prm", text);
  testing::internal::CaptureStdout();
  PrRobot robot(2, path.c_str(), 0, 1);
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(robot.valid()) << out;
  EXPECT_EQ(out, "0: -1.000000<q<1.000000\n1: 0.000000<q<0.500000\n");
  EXPECT_EQ(robot.link(0)->jointAxis(), 1);
  EXPECT_EQ(robot.link(1)->jointType(), PrLink::kPrismatic);

  // The prismatic joint slides its link along its own x axis.
  robot.positions()[1] = 0.25f;
  robot.updateKinematics();
  const PrVector3 slid = robot.link(1)->globalFrame().translation;
  robot.positions()[1] = 0.0f;
  robot.updateKinematics();
  const PrVector3 home = robot.link(1)->globalFrame().translation;
  PrVector3 axis;
  robot.link(1)->globalFrame().rotation.column(0, axis);
  for (int r = 0; r < 3; ++r) EXPECT_NEAR(slid[r] - home[r], 0.25f * axis[r], 1e-6f);

  const float q[2] = {0.4f, 0.1f}, dq[2] = {1.5f, -0.7f}, ddq[2] = {2.0f, -3.0f};
  for (int i = 0; i < 2; ++i) {
    robot.positions()[i] = q[i];
    robot.velocities()[i] = dq[i];
    robot.accelerations()[i] = ddq[i];
  }
  robot.inverseDynamics();
  robot.forwardDynamics();
  for (int i = 0; i < 2; ++i) EXPECT_NEAR(robot.accelerations()[i], ddq[i], 1e-4f) << i;

  // Gravity stays world-vertical although the root is turned: at rest the
  // prismatic joint carries the weight component along its world axis.
  for (int i = 0; i < 2; ++i) robot.velocities()[i] = robot.accelerations()[i] = 0.0f;
  robot.inverseDynamics();
  robot.link(1)->globalFrame().rotation.column(0, axis);
  EXPECT_NEAR(robot.torques()[1], 1.5f * 9.81f * axis[2], 1e-4f);
}

TEST(Link, UnknownJointTypeIsReportedAndTheLinkStillBuilt) {
  testing::internal::CaptureStdout();
  PrLink link(5, 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: PrLink: Unknown joint type(5)\n");
  EXPECT_EQ(link.jointType(), PrLink::kRevolute);
  EXPECT_DEATH(link.parentLink(), "parent_ != NULL");
}

TEST(JointStateDeathTest, CopiesNeedEqualSizes) {
  PrJointState six(6), five(5);
  EXPECT_DEATH(six = five, "noj_ == state.noj_ && nos_ == state.nos_");
}

}  // namespace
