// The servo against the simulated arm: a PD plug-in brings the arm to a goal,
// the derived operational quantities agree with finite differences, and a
// steady tick allocates nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "AllocationCounter.h"
#include "ServoHarness.h"
#include "protocol/ConstantType.h"
#include "servo/ScopeSample.h"

namespace {

void selectJointGoal(ServoHarness& h, int mode, const std::vector<float>& degrees) {
  CMsg msg;
  msg.setType(UI_CONTROL_MODE);
  msg.writeInt(mode);
  for (float v : degrees) msg.writeFloat(v);
  h.request(msg);
}

void toggleFriction(ServoHarness& h) {
  CMsg msg;
  msg.setType(UI_CONSTANT);
  msg.writeInt(constantNumber(ConstantType::kFriction));
  h.request(msg);
}

TEST(ServoPhysicsTest, PdPluginSettlesTheArmAtTheGoal) {
  ServoHarness h("pd_plugin");
  ASSERT_TRUE(h.servo().servoInit());
  toggleFriction(h);  // without friction a PD law has no steady error to explain
  const std::vector<float> goal = {20, -30, 40, 10, -20, 15};
  selectJointGoal(h, kJgoto, goal);
  h.tick(1500);  // 3 s of simulated time
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(h.state().q[i] * 57.29578f, goal[i], 0.05f) << "joint " << i;
    EXPECT_NEAR(h.state().dq[i], 0.0f, 0.001f) << "joint " << i;
  }
  // And it holds there: float with gravity compensation keeps it nearly still.
  selectJointGoal(h, kFloat, {});
  const PrVector held = h.state().q;
  h.tick(250);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(h.state().q[i], held[i], 0.01f) << "joint " << i;
}

TEST(ServoPhysicsTest, ReducedArmSettlesToo) {
  ServoHarness h("pd_plugin");
  ASSERT_TRUE(h.servo().servoInit());
  CMsg type;
  type.setType(UI_CONSTANT);
  type.writeInt(constantNumber(ConstantType::kRobotType));
  type.writeInt(2);  // four joints: 1, 2, 3, 5
  h.request(type);
  const std::vector<float> goal = {30, -40, 50, 20};
  selectJointGoal(h, kNjgoto, goal);
  h.tick(1500);
  // Friction stays on here: the PD law without an integrator stops within a degree.
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(h.state().q[i] * 57.29578f, goal[i], 1.0f) << "joint " << i;
}

TEST(ServoPhysicsTest, OperationalQuantitiesMatchTheirDefinitions) {
  ServoHarness h("pd_plugin");
  ASSERT_TRUE(h.servo().servoInit());
  selectJointGoal(h, kJgoto, {40, -60, 70, 30, 40, 20});
  h.tick(60);  // moving briskly now
  const ServoState& s = h.state();
  const PrVector x0 = s.x;
  ASSERT_GT(s.dx.magnitudeSquared(), 1e-4f) << "the arm must be moving for this check";
  PrVector rate0, rate1;
  s.E.multiply(s.dx, rate0);  // E (c x r) times dx: the rate of the configuration
  h.tick();
  s.E.multiply(s.dx, rate1);
  for (int i = 0; i < s.x.size(); ++i) {
    // Central difference: the mean of the two rates against the step over the tick.
    const float difference = (s.x[i] - x0[i]) / 0.002f;
    const float rate = 0.5f * (rate0[i] + rate1[i]);
    EXPECT_NEAR(rate, difference, 0.02f * std::fabs(difference) + 0.005f) << "x[" << i << "]";
  }
  // Lambda = J⁻ᵀ A J⁻¹, i.e. Jᵀ Lambda J = A.
  PrMatrix LJ, JtLJ;
  s.Lambda.multiply(s.J, LJ);
  s.Jt.multiply(LJ, JtLJ);
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c) EXPECT_NEAR(JtLJ(r, c), s.A(r, c), 1e-3f + 1e-3f * std::fabs(s.A(r, c)));
  // p = J⁻ᵀ G, i.e. Jᵀ p = G.
  PrVector Jtp;
  s.Jt.multiply(s.p, Jtp);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(Jtp[i], s.G[i], 1e-3f + 1e-3f * std::fabs(s.G[i]));
}

TEST(ServoAllocationTest, SteadyTicksAllocateNothing) {
  // With the gather file and the window's scope both fed.
  auto scope = std::make_unique<ScopeRing>();
  for (int type : {3, 0, 2}) {
    SCOPED_TRACE(type);
    ServoHarness h("recording_plugin");
    ASSERT_TRUE(h.servo().servoInit());
    h.servo().publishScopeSamples(scope.get());
    CMsg msg;
    msg.setType(UI_CONSTANT);
    msg.writeInt(constantNumber(ConstantType::kRobotType));
    msg.writeInt(type);
    h.request(msg);
    CMsg gather;
    gather.setType(UI_START_GATHER);
    gather.writeString("steady.dat");
    h.request(gather);
    h.tick(5);  // first ticks may still settle capacities
    h.replies();
    alloccount::reset();
    alloccount::enable(true);
    for (int i = 0; i < 300; ++i) {
      h.servo().servoTick();
      h.servo().waitForTick();
      if (i % 50 == 49) {
        alloccount::enable(false);
        h.drain();  // the console's side empties queue 0 in the meantime
        alloccount::enable(true);
      }
    }
    alloccount::enable(false);
    EXPECT_EQ(alloccount::count(), 0);
  }
  EXPECT_EQ(scope->written(), 3u * 305);
}

TEST(ServoScopeTest, EachTickPublishesTheValuesItEndedWith) {
  auto scope = std::make_unique<ScopeRing>();
  ServoHarness h("pd_plugin");
  ASSERT_TRUE(h.servo().servoInit());
  h.servo().publishScopeSamples(scope.get());
  selectJointGoal(h, kJgoto, {10, -30, 100, 0, 40, 0});
  std::vector<ScopeSample> samples;
  for (int i = 0; i < 20; ++i) {
    h.tick();
    EXPECT_EQ(scope->drain([&](const ScopeSample& s) { samples.push_back(s); }), 0u);
    ASSERT_EQ(samples.size(), size_t(i + 1));
    const ScopeSample& last = samples.back();
    const ServoState& s = h.state();
    EXPECT_EQ(last.time, s.curTime);
    ASSERT_EQ(last.dof, 6);
    ASSERT_EQ(last.config, 7);
    ASSERT_EQ(last.rate, 6);
    for (int j = 0; j < 6; ++j) {
      EXPECT_EQ(last.q[j], s.q[j]);
      EXPECT_EQ(last.qd[j], s.qd[j]);
      EXPECT_EQ(last.dq[j], s.dq[j]);
      EXPECT_EQ(last.tau[j], s.tau[j]);
      EXPECT_EQ(last.dx[j], s.dx[j]);
    }
    for (int k = 0; k < 7; ++k) EXPECT_EQ(last.xd[k], s.xd[k]);
  }
  EXPECT_NE(samples.back().tau[1], 0.0f);  // the law is at work
  h.servo().publishScopeSamples(nullptr);
  h.tick();
  EXPECT_EQ(scope->written(), 20u);
}

}  // namespace

namespace {

// Every report the console or the window asks for, the shapes included: after
// one of each has sized the scratch, none allocates on the servo thread, also
// when the arm has moved (so nothing comes from the shapes' cache). The MSI's
// hull is built on a worker thread, which may allocate; the servo side of it,
// the request and the answer sent later, must not.
TEST(ServoAllocationTest, RequestHandlersAllocateNothing) {
  const int reports[] = {UI_EMASS,  UI_ACC_LIMIT, UI_SFORCE_LIMIT, UI_Q,     UI_DQ,        UI_TAU,  UI_X,
                         UI_FORCES, UI_CURTIME,   UI_CMODE,        UI_DEBUG, UI_ACC_LIMIT, UI_EMASS};
  for (int type : {3, 2}) {
    SCOPED_TRACE(type);
    ServoHarness h("recording_plugin");
    ASSERT_TRUE(h.servo().servoInit());
    CMsg msg;
    msg.setType(UI_CONSTANT);
    msg.writeInt(constantNumber(ConstantType::kRobotType));
    msg.writeInt(type);
    h.request(msg);
    selectJointGoal(h, kJgoto, std::vector<float>(h.state().dof, 20.0f));
    for (int code : reports) h.request(code, code == UI_CMODE || code == UI_DEBUG ? 0 : 2);
    h.tick(5);
    h.drain();
    for (int round = 0; round < 3; ++round) {
      h.tick(20);  // the arm moves on
      h.drain();
      for (int code : reports) {
        alloccount::Scope scope;
        h.request(code, code == UI_CMODE || code == UI_DEBUG ? 0 : 2);
        EXPECT_EQ(alloccount::count(), 0) << "request " << code << ", round " << round;
      }
      h.drain();
      alloccount::countOnlyThisThread(true);
      long msiAllocations = 0;
      {
        alloccount::Scope scope;
        h.request(UI_MSI, 2);
        for (int i = 0; i < 5000 && !h.servoHasReplied(); ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
          h.servo().handleUiMessage();
        }
        msiAllocations = alloccount::count();
      }
      alloccount::countOnlyThisThread(false);
      EXPECT_TRUE(h.servoHasReplied()) << "the MSI answer came, round " << round;
      EXPECT_EQ(msiAllocations, 0) << "MSI, round " << round;
    }
  }
}

// Constants answer with the configuration or the gains, written from one
// record the servo keeps: once it has been sized, no constant allocates.
TEST(ServoAllocationTest, ConstantsAllocateNothing) {
  ServoHarness h("recording_plugin");
  ASSERT_TRUE(h.servo().servoInit());
  std::vector<std::unique_ptr<CMsg>> requests;
  std::vector<const char*> words;
  auto add = [&](ConstantType type, std::initializer_list<float> floats, int first = INT32_MIN) {
    requests.push_back(std::make_unique<CMsg>());
    words.push_back(constantWord(type));
    CMsg& msg = *requests.back();
    msg.setType(UI_CONSTANT);
    msg.writeInt(constantNumber(type));
    if (first != INT32_MIN) msg.writeInt(first);
    for (float v : floats) msg.writeFloat(v);
  };
  for (int id = 0; id < 17; ++id) add(ConstantType::kSetObstacle, {0.5f, 0, 0.3f, 0.1f}, id);
  add(ConstantType::kVmax, {0.4f});
  add(ConstantType::kWmax, {30});
  add(ConstantType::kJlimit, {});
  add(ConstantType::kQmax, {150, 40, 230, 170, 90, 250});
  add(ConstantType::kSetLine, {0, 0, 0, 1, 0, 0});
  add(ConstantType::kKp, {1, 2, 3, 4, 5, 6}, kJgoto);
  add(ConstantType::kDelObstacle, {}, 3);
  add(ConstantType::kMaxVelDisplay, {}, 1);
  for (const auto& msg : requests) h.request(*msg);  // sizes the record
  h.drain();
  for (size_t i = 0; i < requests.size(); ++i) {
    alloccount::Scope scope;
    h.request(*requests[i]);
    EXPECT_EQ(alloccount::count(), 0) << words[i];
  }
  h.drain();
}

}  // namespace
