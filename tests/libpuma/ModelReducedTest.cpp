// The reduced arms: their results are the full model's cut down to the active
// joints, and the joints they leave out are held by the lock torques.
#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "libpuma/CPumaModelEAY.h"
#include "libpuma/RobotModelFactory.h"

using namespace modeltest;

namespace {

struct ReducedCase {
  int robotType;
  std::vector<int> active;  // full joint indices moved by the arm
  std::vector<int> taskRows;
  int pitchRow;  // the task row replaced by the sum of the pitch joints
  int flagMask;
};

const ReducedCase kCases[] = {
    {0, {1}, {4}, 0, 0},
    {1, {1, 2, 4}, {0, 2, 4}, 2, kSingularElbow},
    {2, {0, 1, 2, 4}, {0, 1, 2, 4}, 3, kSingularShoulder | kSingularElbow},
};

struct Results {
  PrVector q, dq, b, g, lock;
  PrMatrix J, dJ, M;
  int flags = 0;
};

void run(IRobotModel& model, ScriptedDriver& driver, Results& r, float threshold = 0.1745f) {
  model.update(driver, threshold, r.q, r.dq, r.J, r.dJ, r.M, r.b, r.g, r.flags, r.lock);
}

// Driver state with the locked joints at their lock positions and at rest,
// and the active joints anywhere and moving.
void placeAtLock(const IRobotModel& model, const ReducedCase& c, std::mt19937& rng, ScriptedDriver& driver) {
  std::uniform_real_distribution<double> u(-1.5, 1.5);
  for (int i = 0; i < 6; ++i) {
    driver.q[i] = model.m_lockConfig[i];
    driver.dq[i] = 0.0f;
    driver.gravity[i] = float(10.0 * u(rng));
  }
  for (int i : c.active) {
    driver.q[i] = float(u(rng));
    driver.dq[i] = float(u(rng));
  }
}

TEST(ModelReduced, ResultsAreTheFullModelsAtTheActiveJoints) {
  std::mt19937 rng(51);
  for (const ReducedCase& c : kCases) {
    auto model = createRobotModel(c.robotType);
    CPumaModelEAY full;
    ScriptedDriver driver;
    Results red, ful;
    for (int n = 0; n < 20; ++n) {
      placeAtLock(*model, c, rng, driver);
      run(*model, driver, red);
      run(full, driver, ful);
      const int k = int(c.active.size());
      ASSERT_EQ(model->dof(), k);
      ASSERT_EQ(red.q.size(), k);
      ASSERT_EQ(red.M.row(), k);
      ASSERT_EQ(red.J.row(), int(c.taskRows.size()));
      ASSERT_EQ(red.J.column(), k);
      for (int a = 0; a < k; ++a) {
        const int i = c.active[a];
        EXPECT_EQ(red.q[a], ful.q[i]);
        EXPECT_EQ(red.dq[a], ful.dq[i]);
        EXPECT_EQ(red.b[a], ful.b[i]);
        EXPECT_EQ(red.g[a], ful.g[i]);
        for (int a2 = 0; a2 < k; ++a2) EXPECT_EQ(red.M(a, a2), ful.M(i, c.active[a2]));
        for (size_t t = 0; t < c.taskRows.size(); ++t) {
          if (int(t) == c.pitchRow) continue;
          if (c.robotType == 0) continue;  // the 1-joint arm's Jacobian is the constant [1]
          EXPECT_EQ(red.J(int(t), a), ful.J(c.taskRows[t], i));
          EXPECT_EQ(red.dJ(int(t), a), ful.dJ(c.taskRows[t], i));
        }
        // The pitch row counts joints 2, 3 and 5, not the base.
        EXPECT_EQ(red.J(c.pitchRow, a), i == 0 ? 0.0f : 1.0f);
        EXPECT_EQ(red.dJ(c.pitchRow, a), 0.0f);
      }
    }
  }
}

// At rest at the lock position the held joints need exactly their Coriolis
// (from the moving joints) and gravity torques; the active joints get none.
TEST(ModelReduced, LockTorqueAtTheLockPositionIsGravityPlusCoriolis) {
  std::mt19937 rng(52);
  for (const ReducedCase& c : kCases) {
    auto model = createRobotModel(c.robotType);
    CPumaModelEAY full;
    ScriptedDriver driver;
    Results red, ful;
    for (int n = 0; n < 20; ++n) {
      placeAtLock(*model, c, rng, driver);
      run(*model, driver, red);
      run(full, driver, ful);
      ASSERT_EQ(red.lock.size(), 6);
      bool sawCoriolis = false;
      for (int i = 0; i < 6; ++i) {
        const bool active = std::find(c.active.begin(), c.active.end(), i) != c.active.end();
        if (active) {
          EXPECT_EQ(red.lock[i], 0.0f) << "type " << c.robotType << " joint " << i;
        } else {
          EXPECT_EQ(red.lock[i], ful.b[i] + ful.g[i]) << "type " << c.robotType << " joint " << i;
          sawCoriolis = sawCoriolis || std::abs(ful.b[i]) > 1e-3f;
        }
      }
      if (c.robotType != 0) {
        EXPECT_TRUE(sawCoriolis) << "the test must exercise Coriolis terms";
      }
    }
  }
}

// Away from the lock position the extra torque accelerates the held joints
// back towards it: it does positive work against the displacement.
TEST(ModelReduced, LockTorquePullsDisplacedJointsBack) {
  std::mt19937 rng(53);
  for (const ReducedCase& c : kCases) {
    auto model = createRobotModel(c.robotType);
    CPumaModelEAY full;
    ScriptedDriver driver;
    Results red, ful;
    placeAtLock(*model, c, rng, driver);
    for (int i = 0; i < 6; ++i) {
      if (std::find(c.active.begin(), c.active.end(), i) == c.active.end()) driver.q[i] += 0.05f;
    }
    run(*model, driver, red);
    run(full, driver, ful);
    double work = 0.0;
    for (int i = 0; i < 6; ++i) {
      if (std::find(c.active.begin(), c.active.end(), i) != c.active.end()) continue;
      work += (red.lock[i] - ful.b[i] - ful.g[i]) * -0.05;
    }
    EXPECT_GT(work, 0.0) << "type " << c.robotType;
  }
}

TEST(ModelReduced, SingularFlagsKeepOnlyWhatTheArmCanReach) {
  for (const ReducedCase& c : kCases) {
    auto model = createRobotModel(c.robotType);
    ScriptedDriver driver;
    // Stretched elbow, wrist centre over axis 1 is not possible together, so
    // use a huge threshold that sets every bit of the full model.
    driver.q[2] = 1.5707964f;
    Results r;
    run(*model, driver, r, 10.0f);
    EXPECT_EQ(r.flags, c.flagMask) << "type " << c.robotType;
  }
}

TEST(ModelReduced, TablesComeFromTheFullModel) {
  auto one = createRobotModel(0);
  EXPECT_EQ(one->m_numConfigParms, 1);
  EXPECT_FLOAT_EQ(one->m_lockConfig[2], 1.5707963f);
  EXPECT_FLOAT_EQ(one->m_lockConfigDeg[2], 90.0f);
  EXPECT_EQ(one->m_selection(0, 1), 1.0f);
  EXPECT_FLOAT_EQ(one->m_jointMax[0], float(43 * 0.017453292519943295));
  EXPECT_FLOAT_EQ(one->m_configMax[0], 3.14159265f);
  EXPECT_TRUE(one->m_configIsAngle[0]);

  auto four = createRobotModel(2);
  ASSERT_EQ(four->m_numConfigParms, 4);
  const char* names[4] = {"x", "y", "z", "alpha"};
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(four->m_configNames[i], names[i]);
  EXPECT_EQ(four->m_posSelect.row(), 3);
  EXPECT_EQ(four->m_oriSelect.row(), 1);
  EXPECT_EQ(four->m_oriSelect(0, 3), 1.0f);
  EXPECT_EQ(four->m_taskKp.size(), 4);
  EXPECT_EQ(four->m_torqueMax[3], 20.1f);  // joint 5
  EXPECT_EQ(four->m_fullDof, 6);

  auto three = createRobotModel(1);
  EXPECT_STREQ(three->m_configNames[1], "z");
  EXPECT_EQ(three->m_posSelect.row(), 2);
  EXPECT_EQ(three->m_posSelect.column(), 3);
}

TEST(ModelReduced, PlanarArmsReadThePointAndSumThePitchJoints) {
  ScriptedDriver driver;
  driver.endEffector.translation = PrVector3(0.5f, -0.2f, 0.3f);
  PrVector x;
  PrMatrix Einv, E;
  auto three = createRobotModel(1);
  PrVector q3(3);
  q3[0] = 0.1f;
  q3[1] = 0.2f;
  q3[2] = 0.4f;
  three->rateMatrices(driver, q3, x, Einv, E);
  ASSERT_EQ(x.size(), 3);
  EXPECT_EQ(x[0], 0.5f);
  EXPECT_EQ(x[1], 0.3f);
  EXPECT_FLOAT_EQ(x[2], 0.7f);
  EXPECT_TRUE(E.isIdentity());
  EXPECT_TRUE(Einv.isIdentity());

  auto four = createRobotModel(2);
  PrVector q4(4);
  q4[0] = 2.0f;
  q4[1] = 0.1f;
  q4[2] = 0.2f;
  q4[3] = 0.4f;
  four->rateMatrices(driver, q4, x, Einv, E);
  ASSERT_EQ(x.size(), 4);
  EXPECT_EQ(x[1], -0.2f);
  EXPECT_FLOAT_EQ(x[3], 0.7f);
  EXPECT_EQ(E.row(), 4);
  EXPECT_TRUE(E.isIdentity());
}

// A reduced model wired to a full model of another size is a programming error.
class MiswiredModel : public IRobotModel {
 public:
  MiswiredModel() {
    static const float kSelection[6] = {0, 1, 0, 0, 0, 0};
    static const float kOri[1] = {1};
    static const float kLock[6] = {};
    static const float kTask[6] = {0, 0, 0, 0, 1, 0};
    static const int kIndex[1] = {4};
    initReduced(m_full, 1, 1, 1, 0, kSelection, nullptr, kOri, kLock, PrMatrix(kTask, 1, 6), kIndex);
    m_wrong = createRobotModel(0);
  }
  void update(IRobotSimDriver& driver, float eps, PrVector& q, PrVector& dq, PrMatrix& J, PrMatrix& dJ,
              PrMatrix& M, PrVector& b, PrVector& g, int& flags, PrVector& lock) override {
    updateReduced(*m_wrong, driver, eps, q, dq, J, dJ, M, b, g, flags, lock);
  }
  void rateMatrices(IRobotSimDriver&, const PrVector&, PrVector&, PrMatrix&, PrMatrix&) override {}
  void configToFrame(const PrVector&, PrTransform&) const override {}
  void frameToConfig(const PrTransform&, PrVector&) const override {}

 private:
  CPumaModelEAY m_full;
  std::unique_ptr<IRobotModel> m_wrong;
};

TEST(ModelReducedDeathTest, FullModelOfAnotherSizeIsRefused) {
  MiswiredModel model;
  ScriptedDriver driver;
  Results r;
  EXPECT_DEATH(run(model, driver, r), "fullModel.dof\\(\\) == m_fullDof");
}

}  // namespace
