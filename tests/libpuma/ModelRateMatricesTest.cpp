// Rate matrices of the full models: E against the angular velocity between
// neighbouring frames, Einv against the config rates of a turning frame, and
// the fixed forms at the Euler and axis-angle singularities.
#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "libpuma/CPumaModelAA.h"
#include "libpuma/CPumaModelEA.h"
#include "libpuma/CPumaModelEAY.h"
#include "libpuma/CPumaModelQ.h"

using namespace modeltest;

namespace {

constexpr int kSamples = 40;

// A config of `model` away from its orientation singularities.
PrVector regularConfig(const IRobotModel& model, std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  PrTransform frame;
  frame.translation = PrVector3(float(u(rng)), float(u(rng)), float(u(rng)));
  PrVector x;
  for (;;) {
    frame.rotation = randomUnitQuaternion(rng);
    model.frameToConfig(frame, x);
    const bool euler = model.m_numConfigParms == 6;
    const double sinTheta = std::sin(x[4]);
    const double halfAngle = std::sin(0.5 * x[3]);
    if (euler ? std::abs(sinTheta) > 0.2 : std::abs(halfAngle) > 0.2) return x;
  }
}

// Reads the rate matrices of `model` at config x through a driver showing x's frame.
void rateMatricesAt(IRobotModel& model, const PrVector& x, PrVector& xOut, PrMatrix& Einv, PrMatrix& E) {
  ScriptedDriver driver;
  model.configToFrame(x, driver.endEffector);
  model.rateMatrices(driver, PrVector(6), xOut, Einv, E);
}

class ModelRateMatrices : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    switch (GetParam()) {
      case 0:
        model = std::make_unique<CPumaModelQ>();
        break;
      case 1:
        model = std::make_unique<CPumaModelEA>();
        break;
      case 2:
        model = std::make_unique<CPumaModelEAY>();
        break;
      default:
        model = std::make_unique<CPumaModelAA>();
        break;
    }
  }
  std::unique_ptr<IRobotModel> model;
};

TEST_P(ModelRateMatrices, ShapesAndCurrentConfig) {
  std::mt19937 rng(31);
  const PrVector x = regularConfig(*model, rng);
  PrVector xOut;
  PrMatrix Einv, E;
  rateMatricesAt(*model, x, xOut, Einv, E);
  EXPECT_EQ(E.row(), 6);
  EXPECT_EQ(E.column(), model->m_numConfigParms);
  EXPECT_EQ(Einv.row(), model->m_numConfigParms);
  EXPECT_EQ(Einv.column(), 6);
  ASSERT_EQ(xOut.size(), x.size());
  for (int i = 0; i < x.size(); ++i) EXPECT_NEAR(xOut[i], x[i], 1e-5) << i;
}

// E ẋ is the velocity (linear, angular) of the frame moving along ẋ.
TEST_P(ModelRateMatrices, EMapsConfigRatesToTheFrameVelocity) {
  std::mt19937 rng(32);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double h = 1e-3;
  for (int n = 0; n < kSamples; ++n) {
    const PrVector x = regularConfig(*model, rng);
    PrVector xOut;
    PrMatrix Einv, E;
    rateMatricesAt(*model, x, xOut, Einv, E);

    PrVector rate(x.size()), xp(x), xm(x);
    for (int i = 0; i < x.size(); ++i) {
      rate[i] = float(u(rng));
      xp[i] += float(h * rate[i]);
      xm[i] -= float(h * rate[i]);
    }
    PrTransform fp, fm;
    model->configToFrame(xp, fp);
    model->configToFrame(xm, fm);
    const Eigen::Vector3d w = angularVelocity(toEigen(fm.rotation), toEigen(fp.rotation), 2 * h);
    const PrVector velocity = E * rate;
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(velocity[i], (double(fp.translation[i]) - fm.translation[i]) / (2 * h), 1e-3);
      EXPECT_NEAR(velocity[3 + i], w[i], 2e-3) << "sample " << n << " axis " << i;
    }
  }
}

// E Einv = I: any operational velocity is reached by the config rates Einv v.
TEST_P(ModelRateMatrices, EinvIsARightInverseOfE) {
  std::mt19937 rng(33);
  for (int n = 0; n < kSamples; ++n) {
    const PrVector x = regularConfig(*model, rng);
    PrVector xOut;
    PrMatrix Einv, E, product;
    rateMatricesAt(*model, x, xOut, Einv, E);
    E.multiply(Einv, product);
    PrMatrix identity(6, 6);
    identity.identity();
    EXPECT_LT(maxAbsDiff(product, identity), 2e-5) << "sample " << n;
  }
}

// Einv ω is the rate of the config of a frame turning at ω.
TEST_P(ModelRateMatrices, EinvGivesTheConfigRatesOfATurningFrame) {
  std::mt19937 rng(34);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double h = 1e-3;
  for (int n = 0; n < kSamples; ++n) {
    const PrVector x = regularConfig(*model, rng);
    PrVector xOut;
    PrMatrix Einv, E;
    rateMatricesAt(*model, x, xOut, Einv, E);
    const Eigen::Vector3d w(u(rng), u(rng), u(rng));
    PrVector velocity(6);
    for (int i = 0; i < 3; ++i) velocity[3 + i] = float(w[i]);
    const PrVector rate = Einv * velocity;

    PrTransform frame;
    model->configToFrame(x, frame);
    const Eigen::Matrix3d R = toEigen(frame.rotation);
    auto configAfter = [&](double t) {
      const Eigen::Quaterniond turned(Eigen::AngleAxisd(w.norm() * t, w.normalized()) * R);
      PrTransform f(PrQuaternion(float(turned.w()), float(turned.x()), float(turned.y()), float(turned.z())),
                    frame.translation);
      // The quaternion model must follow the sign of the config it started from.
      if (f.rotation.dot(frame.rotation) < 0) f.rotation = -f.rotation;
      PrVector out;
      model->frameToConfig(f, out);
      return out;
    };
    const PrVector xp = configAfter(h), xm = configAfter(-h);
    for (int i = 3; i < x.size(); ++i) {
      EXPECT_NEAR(rate[i], (double(xp[i]) - xm[i]) / (2 * h), 3e-3) << "sample " << n << " entry " << i;
    }
  }
}

std::string modelName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"Quaternion", "EulerX", "EulerY", "AxisAngle"};
  return kNames[info.param];
}
INSTANTIATE_TEST_SUITE_P(FullModels, ModelRateMatrices, ::testing::Values(0, 1, 2, 3), modelName);

TEST(ModelRateMatricesSingular, EulerUsesTheFixedFormWhenTheMiddleAngleVanishes) {
  for (const bool yConvention : {false, true}) {
    std::unique_ptr<CPumaModelEA> model =
        yConvention ? std::make_unique<CPumaModelEAY>() : std::make_unique<CPumaModelEA>();
    for (const float theta : {0.0f, 3.14159265f}) {
      const float psi = 0.3f;
      PrVector x(6), xOut;
      x[3] = psi;
      x[4] = theta;
      ScriptedDriver driver;
      driver.endEffector.rotation.fromEulerZYZ(psi, theta, 0.0f);
      if (!yConvention) driver.endEffector.rotation.fromEulerZXZ(psi, theta, 0.0f);
      PrMatrix Einv, E;
      model->rateMatrices(driver, PrVector(6), xOut, Einv, E);
      ASSERT_TRUE(Einv.isFinite());
      const double shifted = xOut[3] + (yConvention ? 1.5707963267948966 : 0.0);
      EXPECT_EQ(Einv(3, 3), 0.0f);
      EXPECT_EQ(Einv(3, 4), 0.0f);
      EXPECT_EQ(Einv(3, 5), 0.5f);
      EXPECT_NEAR(Einv(4, 3), std::cos(shifted), 1e-6);
      EXPECT_NEAR(Einv(4, 4), std::sin(shifted), 1e-6);
      EXPECT_EQ(Einv(5, 5), std::cos(xOut[4]) > 0 ? 0.5f : -0.5f);
      EXPECT_EQ(Einv(5, 3), 0.0f);
      EXPECT_EQ(Einv(5, 4), 0.0f);
    }
  }
}

TEST(ModelRateMatricesSingular, AxisAngleLeavesTheAxisStillAtZeroAngle) {
  CPumaModelAA model;
  ScriptedDriver driver;  // identity rotation: angle 0 about (1, 0, 0)
  PrVector x;
  PrMatrix Einv, E;
  model.rateMatrices(driver, PrVector(6), x, Einv, E);
  ASSERT_TRUE(Einv.isFinite());
  EXPECT_EQ(x[3], 0.0f);
  EXPECT_EQ(Einv(3, 3), 1.0f);
  for (int r = 4; r < 7; ++r) {
    for (int c = 0; c < 6; ++c) EXPECT_EQ(Einv(r, c), 0.0f) << r << ", " << c;
  }
}

}  // namespace
