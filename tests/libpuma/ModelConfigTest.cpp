// Config parameters of every robot type: defaults, unit conversions,
// normalisation, and frame -> config -> frame round trips.
#include <gtest/gtest.h>

#include <cstring>

#include "ModelTestSupport.h"
#include "libpuma/CPuma1dofModel.h"
#include "libpuma/CPuma3dofModel.h"
#include "libpuma/CPuma4dofModel.h"
#include "libpuma/CPumaModelAA.h"
#include "libpuma/CPumaModelEA.h"
#include "libpuma/CPumaModelEAY.h"
#include "libpuma/CPumaModelQ.h"
#include "libpuma/PumaConstants.h"
#include "libpuma/RobotModelFactory.h"
#include "utility/Angles.h"

using namespace modeltest;

namespace {

constexpr double kDeg = kPi / 180;

TEST(ModelConfig, FactoryBuildsEachRobotTypeAndRefusesOthers) {
  EXPECT_NE(dynamic_cast<CPuma1dofModel*>(createRobotModel(0).get()), nullptr);
  EXPECT_NE(dynamic_cast<CPuma3dofModel*>(createRobotModel(1).get()), nullptr);
  EXPECT_NE(dynamic_cast<CPuma4dofModel*>(createRobotModel(2).get()), nullptr);
  auto q = createRobotModel(3);
  EXPECT_NE(dynamic_cast<CPumaModelQ*>(q.get()), nullptr);
  EXPECT_EQ(dynamic_cast<CPumaModelEA*>(q.get()), nullptr);
  auto ea = createRobotModel(4);
  EXPECT_NE(dynamic_cast<CPumaModelEA*>(ea.get()), nullptr);
  EXPECT_EQ(dynamic_cast<CPumaModelEAY*>(ea.get()), nullptr);
  EXPECT_NE(dynamic_cast<CPumaModelEAY*>(createRobotModel(5).get()), nullptr);
  EXPECT_NE(dynamic_cast<CPumaModelAA*>(createRobotModel(6).get()), nullptr);

  ::testing::internal::CaptureStderr();
  EXPECT_EQ(createRobotModel(7), nullptr);
  EXPECT_EQ(createRobotModel(-1), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Unknown robot type 7"), std::string::npos) << err;
  EXPECT_STREQ(robotTypeLabel(0), "1-DOF");
  EXPECT_STREQ(robotTypeLabel(5), "6-DOF (euler angle y)");
  EXPECT_EQ(robotTypeLabel(7), nullptr);
}

TEST(ModelConfig, QuaternionModelDefaults) {
  CPumaModelQ m;
  EXPECT_EQ(m.dof(), 6);
  EXPECT_EQ(m.m_fullDof, 6);
  EXPECT_EQ(m.m_taskDof, 6);
  const float minDeg[6] = {-160, -223, -40, -130, -100, -266};
  const float maxDeg[6] = {160, 43, 240, 180, 100, 266};
  const float torque[6] = {97.6f, 156.4f, 89.4f, 24.2f, 20.1f, 21.2f};
  for (int i = 0; i < 6; ++i) {
    EXPECT_FLOAT_EQ(m.m_jointMin[i], float(minDeg[i] * kDeg));
    EXPECT_FLOAT_EQ(m.m_jointMax[i], float(maxDeg[i] * kDeg));
    EXPECT_FLOAT_EQ(m.m_jointVelMax[i], float(45 * kDeg));
    EXPECT_FLOAT_EQ(m.m_jointAccMax[i], float(60 * kDeg));
    EXPECT_EQ(m.m_torqueMax[i], torque[i]);
    EXPECT_EQ(m.m_jointKp[i], 400.0f);
    EXPECT_EQ(m.m_jointKv[i], 40.0f);
    EXPECT_EQ(m.m_taskKp[i], 400.0f);
    EXPECT_EQ(m.m_taskKv[i], 40.0f);
    EXPECT_EQ(m.m_lockConfig[i], 0.0f);
    EXPECT_EQ(m.m_lockConfigDeg[i], 0.0f);
  }
  EXPECT_EQ(m.m_vmax, 0.3f);
  EXPECT_EQ(m.m_amax, 10.0f);
  EXPECT_FLOAT_EQ(m.m_wmax, 0.78539816f);
  EXPECT_TRUE(m.m_selection.isIdentity());
  ASSERT_EQ(m.m_posSelect.row(), 3);
  ASSERT_EQ(m.m_oriSelect.row(), 3);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 6; ++c) {
      EXPECT_EQ(m.m_posSelect(r, c), c == r ? 1.0f : 0.0f);
      EXPECT_EQ(m.m_oriSelect(r, c), c == r + 3 ? 1.0f : 0.0f);
    }
  }
  ASSERT_EQ(m.m_numConfigParms, 7);
  const char* names[7] = {"x", "y", "z", "w", "vx", "vy", "vz"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_STREQ(m.m_configNames[i], names[i]);
    EXPECT_EQ(m.m_configMin[i], -1.0f);
    EXPECT_EQ(m.m_configMax[i], 1.0f);
    EXPECT_FALSE(m.m_configIsAngle[i]);
  }
}

TEST(ModelConfig, EulerAndAxisAngleBoundsAreConvertedToRadians) {
  CPumaModelEAY ea;
  ASSERT_EQ(ea.m_numConfigParms, 6);
  EXPECT_STREQ(ea.m_configNames[3], "psi");
  EXPECT_STREQ(ea.m_configNames[5], "phi");
  EXPECT_FALSE(ea.m_configIsAngle[2]);
  EXPECT_TRUE(ea.m_configIsAngle[4]);
  EXPECT_EQ(ea.m_configMax[2], 1.0f);
  EXPECT_FLOAT_EQ(ea.m_configMax[4], 3.14159265f);
  EXPECT_FLOAT_EQ(ea.m_configMin[5], -3.14159265f);

  CPumaModelAA aa;
  ASSERT_EQ(aa.m_numConfigParms, 7);
  EXPECT_STREQ(aa.m_configNames[3], "theta");
  EXPECT_STREQ(aa.m_configNames[6], "uz");
  EXPECT_FLOAT_EQ(aa.m_configMin[3], -3.14159265f);
  EXPECT_EQ(aa.m_configMax[4], 1.0f);
  EXPECT_TRUE(aa.m_configIsAngle[3]);
  EXPECT_FALSE(aa.m_configIsAngle[4]);
}

TEST(ModelConfig, DegreeConversionTouchesAnglesOnlyAndMayWorkInPlace) {
  CPumaModelEA m;
  PrVector x(6);
  for (int i = 0; i < 6; ++i) x[i] = 0.5f;
  PrVector deg;
  m.configToDegrees(x, deg);
  EXPECT_EQ(deg[1], 0.5f);
  EXPECT_FLOAT_EQ(deg[4], 28.647890f);
  m.configToRadians(deg, deg);
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(deg[i], 0.5f);
  EXPECT_DEATH(m.configToDegrees(PrVector(7), deg), "src.size\\(\\) == m_numConfigParms");
  EXPECT_DEATH(m.configToRadians(PrVector(3), deg), "src.size\\(\\) == m_numConfigParms");
}

TEST(ModelConfig, NormalizeConfig) {
  CPumaModelQ q;
  PrVector x(7);
  q.normalizeConfig(x);
  EXPECT_EQ(x[3], 1.0f);
  EXPECT_EQ(x[4] + x[5] + x[6], 0.0f);
  x[3] = 2.0f;
  q.normalizeConfig(x);
  EXPECT_EQ(x[3], 1.0f);
  x[0] = 0.4f;
  x[3] = 1.0f;
  x[4] = 2.0f;
  x[5] = -2.0f;
  x[6] = 4.0f;
  q.normalizeConfig(x);
  EXPECT_EQ(x[0], 0.4f);
  EXPECT_FLOAT_EQ(x[3], 0.2f);
  EXPECT_FLOAT_EQ(x[6], 0.8f);

  CPumaModelAA aa;
  PrVector a(7);
  a[3] = 0.7f;
  aa.normalizeConfig(a);
  EXPECT_EQ(a[3], 0.7f);
  EXPECT_EQ(a[4], 1.0f);
  EXPECT_EQ(a[5] + a[6], 0.0f);
  a[4] = 0.0f;
  a[5] = 3.0f;
  a[6] = -4.0f;
  aa.normalizeConfig(a);
  EXPECT_FLOAT_EQ(a[5], 0.6f);
  EXPECT_FLOAT_EQ(a[6], -0.8f);

  // Euler angles and the reduced arms' configs are left alone.
  CPumaModelEA ea;
  PrVector e(6);
  e[3] = 7.0f;
  ea.normalizeConfig(e);
  EXPECT_EQ(e[3], 7.0f);
  CPuma1dofModel one;
  PrVector alpha(1);
  alpha[0] = 9.0f;
  one.normalizeConfig(alpha);
  EXPECT_EQ(alpha[0], 9.0f);
}

// Frames with singular orientations for the Euler and axis-angle forms.
std::vector<PrQuaternion> specialRotations() {
  std::vector<PrQuaternion> out;
  out.push_back(PrQuaternion());                              // identity
  out.push_back(PrQuaternion(0, 1, 0, 0));                    // π about x
  out.push_back(PrQuaternion(0, 0, 1, 0));                    // π about y
  out.push_back(PrQuaternion(0, 0, 0, 1));                    // π about z
  out.push_back(PrQuaternion(0.9238795f, 0, 0, 0.3826834f));  // π/4 about z (θ = 0)
  out.push_back(PrQuaternion(0, 0.3826834f, 0.9238795f, 0));  // θ = π with a turn
  out.push_back(PrQuaternion(-1, 0, 0, 0));                   // 2π: identity again
  out.push_back(PrQuaternion(-0.9999999f, 0.0004f, 0, 0));    // near 2π
  out.push_back(PrQuaternion(0.99999994f, 0, 0.0003f, 0));    // near identity
  for (PrQuaternion& q : out) q.normalize();
  return out;
}

TEST(ModelConfig, FullModelsReproduceFramesThroughTheirConfig) {
  std::mt19937 rng(41);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<PrQuaternion> rotations = specialRotations();
  for (int n = 0; n < 200; ++n) rotations.push_back(randomUnitQuaternion(rng));
  for (int type = 3; type <= 6; ++type) {
    auto model = createRobotModel(type);
    for (size_t n = 0; n < rotations.size(); ++n) {
      const PrTransform frame(rotations[n], PrVector3(float(u(rng)), float(u(rng)), float(u(rng))));
      PrVector x;
      model->frameToConfig(frame, x);
      ASSERT_EQ(x.size(), model->m_numConfigParms);
      PrTransform back;
      model->configToFrame(x, back);
      EXPECT_TRUE(sameFrame(frame, back, 2e-3)) << "type " << type << " rotation " << n;
      EXPECT_TRUE(x.isFinite());
    }
  }
}

// A reduced arm reaches only some frames: those it builds itself must survive
// the round trip, and so must their configs.
TEST(ModelConfig, ReducedModelsReproduceTheirOwnFramesAndConfigs) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> u(-0.8, 0.8), angle(-3.0, 3.0);
  for (int type = 0; type <= 2; ++type) {
    auto model = createRobotModel(type);
    for (int n = 0; n < 200; ++n) {
      PrVector x(model->m_numConfigParms);
      for (int i = 0; i < x.size(); ++i) x[i] = float(model->m_configIsAngle[i] ? angle(rng) : u(rng));
      PrTransform frame, back;
      model->configToFrame(x, frame);
      PrVector x2;
      model->frameToConfig(frame, x2);
      ASSERT_EQ(x2.size(), x.size());
      for (int i = 0; i < x.size(); ++i) EXPECT_NEAR(x2[i], x[i], 1e-4) << "type " << type << " entry " << i;
      model->configToFrame(x2, back);
      EXPECT_TRUE(sameFrame(frame, back, 1e-4)) << "type " << type;
    }
  }
}

TEST(ModelConfig, OneJointArmFrame) {
  CPuma1dofModel m;
  EXPECT_STREQ(m.m_configNames[0], "alpha");
  PrTransform frame;
  m.configToFrame(PrVector(1), frame);
  EXPECT_FLOAT_EQ(frame.translation[0], 0.4115f + 0.4331f + puma::kToolLength);
  EXPECT_FLOAT_EQ(frame.translation[1], 0.1501f);
  EXPECT_EQ(frame.translation[2], 0.0f);
  EXPECT_TRUE(frame.rotation.isEquivalent(PrQuaternion(0.70710678f, 0, 0.70710678f, 0)));

  ScriptedDriver driver;
  PrVector q(1), x;
  q[0] = 0.3f;
  PrMatrix Einv, E;
  m.rateMatrices(driver, q, x, Einv, E);
  ASSERT_EQ(x.size(), 1);
  EXPECT_EQ(x[0], 0.3f);
  EXPECT_EQ(E.row(), 1);
  EXPECT_EQ(E(0, 0), 1.0f);
  EXPECT_EQ(Einv.column(), 1);
  EXPECT_EQ(Einv(0, 0), 1.0f);
}

TEST(ModelConfig, FourJointArmReportsTheTiltWithTheSignOfItsSide) {
  CPuma4dofModel m;
  PrTransform frame;
  frame.rotation.fromEulerZYZ(0.2f, 0.5f, 0.0f);
  frame.translation = PrVector3(0.4f, 0.1f, 0.3f);
  PrVector x;
  m.frameToConfig(frame, x);
  EXPECT_NEAR(x[3], 0.5f, 1e-5);
  frame.translation = PrVector3(-0.4f, 0.1f, 0.3f);
  m.frameToConfig(frame, x);
  EXPECT_NEAR(x[3], -0.5f, 1e-5);
}

}  // namespace
