#include "HardCases.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "ScenarioBench.h"
#include "protocol/ControlModeTable.h"
#include "utility/Angles.h"

namespace {

using R = ScenarioResult;

constexpr double kDeg = 180 / kPi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTick = 0.002;
constexpr double kLateWindow = 2.0;  // s before the end in which reversals count
constexpr double kReversalSpeed =
    0.01;  // rad/s (0.6 deg/s, dqmax / 80): slower is friction creep, not chatter
constexpr float kStartup[6] = {0, 0, 0, 0, 0, 0};
constexpr float kWristSingular[6] = {0, -60, 160, 0, 0, 0};
constexpr float kPull[3] = {0, 20, 0};  // N, sideways
constexpr int kQuaternionModel = 3, kAxisAngleModel = 6;
constexpr int kThreeJointArm = 1, kFourJointArm = 2;

struct Vec3 {
  double x, y, z;
};
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(double k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(Vec3 a) { return std::sqrt(dot(a, a)); }
Vec3 tool(const ServoState& s) { return {s.T.translation[0], s.T.translation[1], s.T.translation[2]}; }

double angleBetween(const PrQuaternion& a, const PrQuaternion& b) {
  const double c = std::fabs(double(a.w) * b.w + double(a.v[0]) * b.v[0] + double(a.v[1]) * b.v[1] +
                             double(a.v[2]) * b.v[2]);
  return 2 * std::acos(std::min(1.0, c)) * kDeg;
}

PrTransform frameAt(ScenarioBench& bench, const float* degrees) {
  bench.placeArm(degrees);
  return bench.state().T;
}

// The task move of the per-mode scenarios, from wherever the arm is.
PrTransform taskGoalFrom(const PrTransform& start) {
  PrTransform goal = start;
  goal.translation[0] -= 0.15f;
  goal.translation[1] += 0.12f;
  goal.translation[2] -= 0.10f;
  const double h = 20 / kDeg / 2;
  const PrQuaternion turn(float(std::cos(h)), float(0.6 * std::sin(h)), 0, float(0.8 * std::sin(h)));
  goal.rotation = turn * start.rotation;
  goal.rotation.normalize();
  return goal;
}

// What every case watches each tick: speeds, the joint limits, and the
// joint velocities' reversals near the end.
struct Watch {
  double seconds;
  double t = 0;
  int lastSign[6] = {};
  explicit Watch(ScenarioResult& r, double runSeconds) : seconds(runSeconds) {
    r.peakJointSpeed = r.peakLinearSpeed = r.lateReversals = 0;
    r.limitMarginDeg = std::numeric_limits<double>::infinity();
  }
  void observe(ScenarioResult& r, const ServoState& s) {
    t += kTick;
    const double v = std::sqrt(double(s.dx[0]) * s.dx[0] + double(s.dx[1]) * s.dx[1] +
                               (s.dx.size() > 2 ? double(s.dx[2]) * s.dx[2] : 0.0));
    r.peakLinearSpeed = std::max(r.peakLinearSpeed, v / s.vmax);
    for (int i = 0; i < s.dof && i < 6; ++i) {
      r.peakJointSpeed = std::max(r.peakJointSpeed, std::fabs(double(s.dq[i])) / s.dqmax[i]);
      r.limitMarginDeg =
          std::min(r.limitMarginDeg, kDeg * std::min(double(s.q[i]) - s.qmin[i], double(s.qmax[i]) - s.q[i]));
      if (std::fabs(s.dq[i]) < kReversalSpeed) continue;
      const int sign = s.dq[i] > 0 ? 1 : -1;
      if (t > seconds - kLateWindow && lastSign[i] != 0 && sign != lastSign[i]) r.lateReversals += 1;
      lastSign[i] = sign;
    }
  }
};

ScenarioResult begin(int mode, const char* setup) {
  ScenarioResult r;
  r.mode = mode;
  r.word = controlModeWord(mode);
  r.setup = setup;
  return r;
}

// An operational move from `start` (joint angles, deg) to `goal`; the errors
// are measured against `reference` (the goal as it should be understood).
ScenarioResult frameMove(ScenarioBench& bench, int mode, const char* setup, const float* start,
                         const PrTransform& goal, double seconds) {
  ScenarioResult r = begin(mode, setup);
  bench.placeArm(start);
  bench.takeText();
  bench.setFrameGoal(mode, goal);
  Watch watch(r, seconds);
  r.seconds = seconds;
  bench.run(seconds, [&](const ServoState& s) { watch.observe(r, s); });
  const ServoState& s = bench.state();
  r.finalPositionMm =
      1000 * norm(tool(s) - Vec3{goal.translation[0], goal.translation[1], goal.translation[2]});
  PrQuaternion unit = goal.rotation;
  unit.normalize();
  r.finalOrientationDeg = angleBetween(s.T.rotation, unit);
  r.messages = bench.takeText();
  return r;
}

// --- pushes ---------------------------------------------------------------------

ScenarioResult pushed(ScenarioBench& bench, int mode) {
  ScenarioResult r = begin(mode, "ready pose; 20 N sideways pull on the tool for 2 s, then 4 s to return");
  bench.placeArm(kReadyPose);
  bench.takeText();
  const PrTransform start = bench.state().T;
  float q0[6];
  for (int i = 0; i < 6; ++i) q0[i] = float(bench.state().q[i] * kDeg);
  bench.setMode(mode);
  bench.run(0.5);
  bench.pullTool(kPull);
  r.driftMm = 0;
  bench.run(2.0, [&](const ServoState& s) {
    r.driftMm = std::max(r.driftMm, 1000 * norm(tool(s) - Vec3{start.translation[0], start.translation[1],
                                                               start.translation[2]}));
  });
  bench.releaseTool();
  bench.run(4.0);
  r.seconds = 6.5;
  const ServoState& s = bench.state();
  r.finalPositionMm =
      1000 * norm(tool(s) - Vec3{start.translation[0], start.translation[1], start.translation[2]});
  r.finalOrientationDeg = angleBetween(s.T.rotation, start.rotation);
  r.finalJointDeg = 0;
  for (int i = 0; i < s.dof; ++i)
    r.finalJointDeg = std::max(r.finalJointDeg, std::fabs(s.q[i] * kDeg - q0[i]));
  r.messages = bench.takeText();
  return r;
}

// --- goals out of reach and singular starts ---------------------------------------

ScenarioResult beyondReach(ScenarioBench& bench, int mode) {
  PrTransform goal = frameAt(bench, kReadyPose);
  goal.translation[0] += 0.9f;  // about 0.5 m beyond the stretched arm
  goal.translation[2] += 0.3f;
  // finalPositionMm: how far the goal stays out of reach.
  return frameMove(bench, mode, "ready pose to a goal 0.9 m out, 0.3 m up: beyond reach", kReadyPose, goal,
                   10.0);
}

// From the stretched arm of q = 0, the tool turned down: with that rotation
// not even the tool's own position is reachable.
ScenarioResult beyondReachFromStartup(ScenarioBench& bench, int mode) {
  PrTransform goal;
  goal.translation = PrVector3(1.5f, 0.3f, 0.2f);
  goal.rotation = PrQuaternion(0, 0, 1, 0);
  // finalPositionMm: how far the goal stays out of reach.
  return frameMove(bench, mode, "q = 0 to (1.5 0.3 0.2 0 0 1 0): beyond reach, the tool turned down",
                   kStartup, goal, 10.0);
}

ScenarioResult fromStartup(ScenarioBench& bench, int mode) {
  if (mode == kTrack) {
    PrTransform goal;
    goal.translation = PrVector3(0.6f, 0.2f, 0.1f);
    goal.rotation = PrQuaternion(0, 0, 1, 0);
    return frameMove(bench, mode, "q = 0 to (0.6 0.2 0.1 0 0 1 0)", kStartup, goal, 10.0);
  }
  const PrTransform goal = frameAt(bench, kReadyPose);
  return frameMove(bench, mode, "q = 0 to the ready pose's tool-down frame", kStartup, goal, 10.0);
}

ScenarioResult wristSingular(ScenarioBench& bench) {
  const PrTransform goal = taskGoalFrom(frameAt(bench, kReadyPose));
  return frameMove(bench, kGoto, "ready pose with q5 = 0 to the task goal of the ready pose", kWristSingular,
                   goal, 10.0);
}

// --- the joint-limit potential --------------------------------------------------------

// Joint 1's goal lies 2 degrees inside its limit band: the potential may hold
// joint 1 short of it, but the other joints must still reach theirs.
ScenarioResult limitBand(ScenarioBench& bench) {
  ScenarioResult r = begin(kJgoto, "ready pose to (158 0 0 0 30 0); errors of joints 2 to 6");
  constexpr float goal[6] = {158, 0, 0, 0, 30, 0};
  bench.placeArm(kReadyPose);
  bench.takeText();
  bench.setJointGoal(kJgoto, goal);
  Watch watch(r, 8.0);
  r.seconds = 8.0;
  bench.run(r.seconds, [&](const ServoState& s) { watch.observe(r, s); });
  const ServoState& s = bench.state();
  r.finalJointDeg = 0;
  for (int i = 1; i < s.dof; ++i)
    r.finalJointDeg = std::max(r.finalJointDeg, std::fabs(s.q[i] * kDeg - goal[i]));
  r.messages = bench.takeText();
  return r;
}

// --- goals whose rotation is not of unit length ------------------------------------------

ScenarioResult unnormalised(ScenarioBench& bench, int mode) {
  PrTransform goal = taskGoalFrom(frameAt(bench, kReadyPose));
  goal.rotation = PrQuaternion(2 * goal.rotation.w, 2 * goal.rotation.v[0], 2 * goal.rotation.v[1],
                               2 * goal.rotation.v[2]);
  return frameMove(bench, mode, "task goal of the ready pose, quaternion of length 2", kReadyPose, goal, 8.0);
}

// The axis-angle model takes the axis as typed; an axis of length 3 must
// mean the same as its unit axis.
ScenarioResult axisAngle(ScenarioBench& bench) {
  ScenarioResult r = begin(kXtrack, "axis-angle model, task goal of the ready pose, axis of length 3");
  bench.setRobotType(kAxisAngleModel);
  const PrTransform goal = taskGoalFrom(frameAt(bench, kReadyPose));
  PrVector3 axis;
  float angle = 0;
  goal.rotation.toAxisAngle(axis, angle);
  const float config[7] = {goal.translation[0], goal.translation[1], goal.translation[2], float(angle * kDeg),
                           3 * axis[0],         3 * axis[1],         3 * axis[2]};
  bench.takeText();
  bench.setConfigGoal(kXtrack, config, 7, 8);
  Watch watch(r, 8.0);
  r.seconds = 8.0;
  bench.run(r.seconds, [&](const ServoState& s) { watch.observe(r, s); });
  const ServoState& s = bench.state();
  r.finalPositionMm =
      1000 * norm(tool(s) - Vec3{goal.translation[0], goal.translation[1], goal.translation[2]});
  r.finalOrientationDeg = angleBetween(s.T.rotation, goal.rotation);
  r.messages = bench.takeText();
  bench.setRobotType(kQuaternionModel);
  bench.takeText();
  return r;
}

// A reduced arm from its start-up pose to a goal 2 m out (its configuration:
// the tool's position and one angle, 30 degrees): pulled back into reach and
// reached there, still.
ScenarioResult reducedBeyondReach(ScenarioBench& bench, int robotType) {
  const bool four = robotType == kFourJointArm;
  ScenarioResult r = begin(kGoto, four ? "4-joint arm from start-up to (2.0 0.5 0.3 30): beyond reach"
                                       : "3-joint arm from start-up to (2.0 0.0 30): beyond reach");
  bench.setRobotType(robotType);
  bench.takeText();
  const float goal4[4] = {2.0f, 0.5f, 0.3f, 30.0f}, goal3[3] = {2.0f, 0.0f, 30.0f};
  const int count = four ? 4 : 3;
  bench.setConfigGoal(kGoto, four ? goal4 : goal3, count);
  Watch watch(r, 8.0);
  r.seconds = 8.0;
  bench.run(r.seconds, [&](const ServoState& s) { watch.observe(r, s); });
  // How far the angle ends from its goal (the position stays out of reach).
  r.finalOrientationDeg = std::fabs(kDeg * double(bench.state().x[count - 1]) - 30.0);
  r.messages = bench.takeText();
  bench.setRobotType(kQuaternionModel);
  bench.takeText();
  return r;
}

// --- line mode ------------------------------------------------------------------------------

// Sets the line from p1 along u to p2, starts line mode towards `goal` and
// runs for `seconds`, watching the tool's distance from the line once it has
// come within 0.5 mm of it (lineMm). The line is deleted afterwards.
void runOnLine(ScenarioBench& bench, ScenarioResult& r, const Vec3& p1, const Vec3& u, const Vec3& p2,
               const PrTransform& goal, double seconds) {
  const float a[3] = {float(p1.x), float(p1.y), float(p1.z)}, b[3] = {float(p2.x), float(p2.y), float(p2.z)};
  bench.setLine(a, b);
  bench.takeText();
  bench.setFrameGoal(kLine, goal);
  Watch watch(r, seconds);
  r.seconds = seconds;
  bool onLine = false;
  bench.run(r.seconds, [&](const ServoState& s) {
    watch.observe(r, s);
    const Vec3 e = tool(s) - p1;
    const double off = 1000 * norm(e - dot(e, u) * u);
    onLine = onLine || off <= 0.5;
    if (onLine) r.lineMm = std::isnan(r.lineMm) ? off : std::max(r.lineMm, off);
  });
  r.messages = bench.takeText();
  bench.deleteLine();
  bench.takeText();
}

// The line runs along (-0.6 0.8 0), 21 cm beside the tool; the goal is the
// ready pose's tool position, whose projection lies on the line.
ScenarioResult lineApproach(ScenarioBench& bench) {
  ScenarioResult r =
      begin(kLine, "line along (-0.6 0.8 0) 21 cm beside the tool; goal: the tool's projection");
  const Vec3 u{-0.6, 0.8, 0}, side{-0.8, -0.6, 0};
  const PrTransform start = frameAt(bench, kReadyPose);
  const Vec3 p0 = tool(bench.state());
  runOnLine(bench, r, p0 + 0.21 * side + (-0.3) * u, u, p0 + 0.21 * side + 0.3 * u, start, 6.0);
  r.finalPositionMm = 1000 * norm(tool(bench.state()) - (p0 + 0.21 * side));
  return r;
}

// The line runs out along x 10 cm above the ready pose's tool; its far end and
// the goal on it lie well beyond reach: onto the line, out along it as far as
// the arm reaches, and still there, on the line.
ScenarioResult lineBeyondReach(ScenarioBench& bench) {
  ScenarioResult r = begin(kLine, "line out along x 10 cm above the tool; goal 1 m out on it: beyond reach");
  const PrTransform start = frameAt(bench, kReadyPose);
  const Vec3 u{1, 0, 0}, p1 = tool(bench.state()) + Vec3{0, 0, 0.1}, g = p1 + 1.0 * u;
  PrTransform goal = start;
  goal.translation = PrVector3(float(g.x), float(g.y), float(g.z));
  runOnLine(bench, r, p1, u, p1 + 1.2 * u, goal, 8.0);
  r.finalPositionMm = 1000 * norm(tool(bench.state()) - g);
  r.finalOrientationDeg = angleBetween(bench.state().T.rotation, start.rotation);
  return r;
}

// A line wholly beyond reach, 1.2 m out: the mode says so and moves as goto
// to the goal, which the arm reaches, instead of stretching towards the line.
ScenarioResult lineOutOfReach(ScenarioBench& bench) {
  PrTransform goal = frameAt(bench, kReadyPose);
  const float a[3] = {1.2f, -0.5f, 0.3f}, b[3] = {1.2f, 0.5f, 0.3f};
  bench.setLine(a, b);
  goal = taskGoalFrom(goal);
  ScenarioResult r = frameMove(bench, kLine,
                               "line from (1.2 -0.5 0.3) to (1.2 0.5 0.3), out of reach; goal: the "
                               "task goal of the ready pose",
                               kReadyPose, goal, 6.0);
  bench.deleteLine();
  bench.takeText();
  return r;
}

struct Case {
  const char* name;
  ScenarioResult (*run)(ScenarioBench&);
  std::vector<FigureBound> bounds;
};

const std::vector<Case>& cases() {
  static const std::vector<Case> table = {
      // Back where they were after the pull: the "n" modes through their trim,
      // the model-based hold through its disturbance observer.
      {"nhold-push",
       [](ScenarioBench& b) { return pushed(b, kNhold); },
       {atMost(&R::finalPositionMm, 2), atMost(&R::finalOrientationDeg, 0.5)}},
      {"njhold-push", [](ScenarioBench& b) { return pushed(b, kNjhold); }, {atMost(&R::finalPositionMm, 2)}},
      {"hold-push",
       [](ScenarioBench& b) { return pushed(b, kHold); },
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5)}},
      // Stretched towards the goal and still: no chatter, joints within dqmax.
      // The goal starts 949 mm away; the arm ends 826 mm from it, stretched
      // as far as it reaches with the tool down and its elbow still bent.
      {"goto-beyond-reach",
       [](ScenarioBench& b) { return beyondReach(b, kGoto); },
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05), atMost(&R::finalPositionMm, 850),
        atMost(&R::finalOrientationDeg, 0.5)}},
      {"track-beyond-reach",
       [](ScenarioBench& b) { return beyondReach(b, kTrack); },
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05), atMost(&R::finalPositionMm, 850),
        atMost(&R::finalOrientationDeg, 0.5)}},
      // Pulled in towards the base axis, and reached with the tool down: the
      // goal starts 1201 mm away, the arm ends about 750 mm from it (it
      // stalled 630 mm from it, 84 degrees off, before it was pulled in).
      {"goto-beyond-reach-from-startup",
       [](ScenarioBench& b) { return beyondReachFromStartup(b, kGoto); },
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05), atMost(&R::finalPositionMm, 800),
        atMost(&R::finalOrientationDeg, 0.5)}},
      {"track-beyond-reach-from-startup",
       [](ScenarioBench& b) { return beyondReachFromStartup(b, kTrack); },
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05), atMost(&R::finalPositionMm, 800),
        atMost(&R::finalOrientationDeg, 0.5)}},
      // The goals' elbow lies on the other side of its singularity from
      // q = 0's: along a joint path first, the tool within vmax.
      {"goto-from-startup",
       [](ScenarioBench& b) { return fromStartup(b, kGoto); },
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5), atLeast(&R::limitMarginDeg, 0),
        atMost(&R::peakLinearSpeed, 1.05), atMost(&R::peakJointSpeed, 1.05)}},
      {"track-from-startup",
       [](ScenarioBench& b) { return fromStartup(b, kTrack); },
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5), atLeast(&R::limitMarginDeg, 0),
        atMost(&R::peakLinearSpeed, 1.05), atMost(&R::peakJointSpeed, 1.05)}},
      {"goto-wrist-singular",
       wristSingular,
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5),
        atLeast(&R::limitMarginDeg, 0)}},
      {"jgoto-limit-band", limitBand, {atMost(&R::finalJointDeg, 0.05)}},
      {"xtrack-unnormalised",
       [](ScenarioBench& b) { return unnormalised(b, kXtrack); },
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5)}},
      {"nxtrack-unnormalised",
       [](ScenarioBench& b) { return unnormalised(b, kNxtrack); },
       {atMost(&R::finalPositionMm, 2), atMost(&R::finalOrientationDeg, 0.5)}},
      {"xtrack-axis-angle",
       axisAngle,
       {atMost(&R::finalPositionMm, 1), atMost(&R::finalOrientationDeg, 0.5)}},
      {"line-approach",
       lineApproach,
       {atMost(&R::peakLinearSpeed, 1.05), atMost(&R::lineMm, 1), atMost(&R::finalPositionMm, 1)}},
      {"goto-beyond-reach-3-joints",
       [](ScenarioBench& b) { return reducedBeyondReach(b, kThreeJointArm); },
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05),
        atMost(&R::finalOrientationDeg, 0.5)}},
      {"goto-beyond-reach-4-joints",
       [](ScenarioBench& b) { return reducedBeyondReach(b, kFourJointArm); },
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05),
        atMost(&R::finalOrientationDeg, 0.5)}},
      {"line-out-of-reach",
       lineOutOfReach,
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05), atMost(&R::finalPositionMm, 1),
        atMost(&R::finalOrientationDeg, 0.5)}},
      {"line-beyond-reach",
       lineBeyondReach,
       {atMost(&R::lateReversals, 0), atMost(&R::peakJointSpeed, 1.05), atMost(&R::lineMm, 1),
        atMost(&R::finalOrientationDeg, 0.5)}},
  };
  return table;
}

void printCell(std::FILE* out, const char* name, double value) {
  if (std::isnan(value))
    std::fprintf(out, "  %s -", name);
  else
    std::fprintf(out, "  %s %.3g", name, value);
}

}  // namespace

std::vector<GradedScenario> hardCaseScenarios() {
  std::vector<GradedScenario> out;
  for (const Case& c : cases()) out.push_back({c.name, c.run, c.bounds});
  return out;
}

void printHardCaseTable(ScenarioBench& bench, std::FILE* out) {
  for (const Case& c : cases()) {
    const ScenarioResult r = c.run(bench);
    std::fprintf(out, "%-21s", c.name);
    for (const FigureBound& b : c.bounds) printCell(out, b.name, r.*b.figure);
    std::fprintf(out, "\n");
  }
}
