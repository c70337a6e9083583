#include "Scenarios.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ScenarioBench.h"
#include "protocol/ControlModeTable.h"
#include "utility/Angles.h"

namespace {

constexpr double kDeg = 180 / kPi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTick = 0.002;
constexpr double kJointTolerance = 0.2;     // deg
constexpr double kPositionTolerance = 1.0;  // mm

// Joint goal of the joint-space moves (deg): every joint moves.
constexpr float kJointGoal[6] = {30, -30, 115, 30, 20, 45};

struct Vec3 {
  double x, y, z;
};
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(Vec3 a) { return std::sqrt(dot(a, a)); }

Vec3 toolPosition(const ServoState& s) {
  return {s.T.translation[0], s.T.translation[1], s.T.translation[2]};
}

// Angle (deg) of the rotation between two orientations.
double angleBetween(const PrQuaternion& a, const PrQuaternion& b) {
  const double c = std::fabs(double(a.w) * b.w + double(a.v[0]) * b.v[0] + double(a.v[1]) * b.v[1] +
                             double(a.v[2]) * b.v[2]);
  return 2 * std::acos(std::min(1.0, c)) * kDeg;
}

// A rotation of `degrees` about a unit axis, applied in the base frame.
PrQuaternion turned(const PrQuaternion& q, Vec3 axis, double degrees) {
  const double h = degrees / kDeg / 2;
  const PrQuaternion r(float(std::cos(h)), float(axis.x * std::sin(h)), float(axis.y * std::sin(h)),
                       float(axis.z * std::sin(h)));
  PrQuaternion out = r * q;
  out.normalize();
  return out;
}

PrTransform shifted(const PrTransform& frame, Vec3 offset, Vec3 axis, double degrees) {
  PrTransform out = frame;
  out.translation[0] += float(offset.x);
  out.translation[1] += float(offset.y);
  out.translation[2] += float(offset.z);
  out.rotation = turned(frame.rotation, axis, degrees);
  return out;
}

double jointErrorDeg(const ServoState& s, const float* goalDeg) {
  double worst = 0;
  for (int i = 0; i < s.dof; ++i) worst = std::max(worst, std::fabs(s.q[i] * kDeg - goalDeg[i]));
  return worst;
}

double jointSpeedRatio(const ServoState& s) {
  double worst = 0;
  for (int i = 0; i < s.dof; ++i) worst = std::max(worst, std::fabs(double(s.dq[i])) / s.dqmax[i]);
  return worst;
}

double linearSpeedRatio(const ServoState& s) {
  const double v =
      std::sqrt(double(s.dx[0]) * s.dx[0] + double(s.dx[1]) * s.dx[1] + double(s.dx[2]) * s.dx[2]);
  return v / s.vmax;
}

// Puts the arm at the ready pose, at rest, without the plug-in's help: every
// scenario starts alike, whatever the plug-in's own joint modes do.
void prepare(ScenarioBench& bench) {
  bench.placeArm(kReadyPose);
  bench.takeText();
}

// Tracks "last time outside the band" to give the settling time.
struct Settling {
  double lastOutside = 0;
  void update(double t, bool inside) {
    if (!inside) lastOutside = t + kTick;
  }
};

ScenarioResult begin(int mode, const char* setup) {
  ScenarioResult r;
  r.mode = mode;
  r.word = controlModeWord(mode);
  r.setup = setup;
  return r;
}

// Modes that keep the arm where it is: drift of the joints and of the tool.
// The holding modes are then kicked (kKick) and given kRecovery seconds to
// return: the final errors are measured from where the mode started.
constexpr float kKick[6] = {20, -20, 20, 30, -30, 30};  // deg/s
constexpr double kRecovery = 3.0;                       // s

ScenarioResult stillness(ScenarioBench& bench, int mode, double seconds, const char* setup,
                         bool kicked = false) {
  ScenarioResult r = begin(mode, setup);
  prepare(bench);
  float start[6];
  for (int i = 0; i < 6; ++i) start[i] = float(bench.state().q[i] * kDeg);
  const Vec3 p0 = toolPosition(bench.state());
  const PrQuaternion o0 = bench.state().T.rotation;
  r.driftDeg = r.driftMm = r.peakJointSpeed = 0;
  if (mode >= kNxtrack)
    bench.setFrameGoal(mode, bench.state().T);  // the goal modes take the current frame
  else
    bench.setMode(mode);
  r.seconds = seconds;
  bench.run(seconds, [&](const ServoState& s) {
    r.driftDeg = std::max(r.driftDeg, jointErrorDeg(s, start));
    r.driftMm = std::max(r.driftMm, 1000 * norm(toolPosition(s) - p0));
    r.peakJointSpeed = std::max(r.peakJointSpeed, jointSpeedRatio(s));
  });
  if (kicked) {
    bench.kick(kKick);
    bench.run(kRecovery);
    r.seconds += kRecovery;
    const ServoState& s = bench.state();
    if (isJointSpaceMode(mode)) {
      r.finalJointDeg = jointErrorDeg(s, start);
    } else {
      r.finalPositionMm = 1000 * norm(toolPosition(s) - p0);
      r.finalOrientationDeg = angleBetween(s.T.rotation, o0);
    }
  }
  r.messages = bench.takeText();
  return r;
}

ScenarioResult jointMove(ScenarioBench& bench, int mode, double seconds) {
  ScenarioResult r = begin(mode, "ready pose to (30 -30 115 30 20 45) deg");
  prepare(bench);
  const ServoState& s0 = bench.state();
  float start[6];
  for (int i = 0; i < 6; ++i) start[i] = float(s0.q[i] * kDeg);
  bench.setJointGoal(mode, kJointGoal);
  const bool tracks = mode == kNjtrack || mode == kJtrack;
  r.peakJointSpeed = r.overshootPercent = 0;
  if (tracks) r.trackingDeg = 0;
  Settling settling;
  int tick = 0;
  r.seconds = seconds;
  bench.run(seconds, [&](const ServoState& s) {
    const double t = ++tick * kTick;
    r.peakJointSpeed = std::max(r.peakJointSpeed, jointSpeedRatio(s));
    settling.update(t, jointErrorDeg(s, kJointGoal) <= kJointTolerance);
    for (int i = 0; i < s.dof; ++i) {
      const double move = kJointGoal[i] - start[i];
      if (std::fabs(move) < 1) continue;
      const double past = (s.q[i] * kDeg - kJointGoal[i]) * (move > 0 ? 1 : -1);
      r.overshootPercent = std::max(r.overshootPercent, 100 * past / std::fabs(move));
    }
    if (tracks)  // the plug-in publishes its moving reference in qd
      for (int i = 0; i < s.dof; ++i)
        r.trackingDeg = std::max(r.trackingDeg, std::fabs(double(s.q[i]) - s.qd[i]) * kDeg);
  });
  r.finalJointDeg = jointErrorDeg(bench.state(), kJointGoal);
  r.settlingTime = r.finalJointDeg <= kJointTolerance ? settling.lastOutside : kNaN;
  r.messages = bench.takeText();
  return r;
}

// Operational moves to a goal frame; `extra` observes each tick as well.
ScenarioResult taskMove(ScenarioBench& bench, int mode, const char* setup, Vec3 offset, Vec3 axis,
                        double degrees, double seconds,
                        const std::function<void(ScenarioResult&, const ServoState&, double)>& extra = {},
                        const std::function<void(ScenarioBench&, Vec3, Vec3)>& arrange = {}) {
  ScenarioResult r = begin(mode, setup);
  prepare(bench);
  const PrTransform start = bench.state().T;
  const PrTransform goal = shifted(start, offset, axis, degrees);
  const Vec3 p0 = toolPosition(bench.state());
  const Vec3 pGoal = p0 + offset;
  if (arrange) arrange(bench, p0, pGoal);
  bench.setFrameGoal(mode, goal);
  const double distance = norm(offset);
  const Vec3 direction = distance > 0 ? (1 / distance) * offset : Vec3{1, 0, 0};
  const bool tracks = mode == kNtrack || mode == kTrack;
  Vec3 reference = p0, lastRate{0, 0, 0};
  r.peakJointSpeed = r.peakLinearSpeed = r.overshootPercent = 0;
  if (tracks) r.trackingMm = 0;
  Settling settling;
  int tick = 0;
  r.seconds = seconds;
  bench.run(seconds, [&](const ServoState& s) {
    const double t = ++tick * kTick;
    const Vec3 p = toolPosition(s);
    r.peakJointSpeed = std::max(r.peakJointSpeed, jointSpeedRatio(s));
    r.peakLinearSpeed = std::max(r.peakLinearSpeed, linearSpeedRatio(s));
    settling.update(t, 1000 * norm(p - pGoal) <= kPositionTolerance);
    if (distance > 0)
      r.overshootPercent = std::max(r.overshootPercent, 100 * dot(p - pGoal, direction) / distance);
    if (tracks) {
      // The reference position is the integral of the published reference velocity dxd.
      const Vec3 rate{s.dxd[0], s.dxd[1], s.dxd[2]};
      reference = reference + (kTick / 2) * (rate + lastRate);
      lastRate = rate;
      r.trackingMm = std::max(r.trackingMm, 1000 * norm(p - reference));
    }
    if (extra) extra(r, s, t);
  });
  const ServoState& s = bench.state();
  r.finalPositionMm = 1000 * norm(toolPosition(s) - pGoal);
  r.finalOrientationDeg = angleBetween(s.T.rotation, goal.rotation);
  r.settlingTime = r.finalPositionMm <= kPositionTolerance ? settling.lastOutside : kNaN;
  r.messages = bench.takeText();
  return r;
}

constexpr Vec3 kTaskOffset{-0.15, 0.12, -0.10};  // m
constexpr Vec3 kTaskAxis{0.6, 0.0, 0.8};
constexpr double kTaskTurn = 20;  // deg
const char* const kTaskSetup = "tool by (-15 12 -10) cm, 20 deg about (0.6 0 0.8)";

ScenarioResult pfmove(ScenarioBench& bench) {
  return taskMove(
      bench, kPfmove, "as goto, sphere r 5 cm 2 cm off the straight path", kTaskOffset, kTaskAxis, kTaskTurn,
      10.0,
      [](ScenarioResult& r, const ServoState& s, double) {
        const Obstacle& o = s.obstacles[0];
        const Vec3 c{o.center[0], o.center[1], o.center[2]};
        const double d = 1000 * (norm(toolPosition(s) - c) - o.radius);
        r.obstacleMm = std::isnan(r.obstacleMm) ? d : std::min(r.obstacleMm, d);
      },
      [](ScenarioBench& b, Vec3 p0, Vec3 pGoal) {
        // Midway, pushed 2 cm sideways in the horizontal plane.
        const Vec3 mid = 0.5 * (p0 + pGoal);
        const Vec3 d = pGoal - p0;
        Vec3 side{-d.y, d.x, 0};
        side = (0.02 / norm(side)) * side;
        const Vec3 c = mid + side;
        b.setObstacle(1, float(c.x), float(c.y), float(c.z), 0.05f);
      });
}

ScenarioResult lineMode(ScenarioBench& bench) {
  const Vec3 u{-0.6, 0.8, 0.0};
  Vec3 p1{}, p2{};
  ScenarioResult r = taskMove(
      bench, kLine, "line through the tool along (-0.6 0.8 0); goal (-10 15 -10) cm off",
      {-0.10, 0.15, -0.10}, {0, 0, 1}, 0, 6.0,
      [&](ScenarioResult& out, const ServoState& s, double) {
        const Vec3 e = toolPosition(s) - p1;
        const double off = 1000 * norm(e - dot(e, u) * u);
        out.lineMm = std::isnan(out.lineMm) ? off : std::max(out.lineMm, off);
      },
      [&](ScenarioBench& b, Vec3 p0, Vec3) {
        p1 = p0 + (-0.3) * u;
        p2 = p0 + 0.3 * u;
        const float a[3] = {float(p1.x), float(p1.y), float(p1.z)};
        const float c[3] = {float(p2.x), float(p2.y), float(p2.z)};
        b.setLine(a, c);
      });
  // The goal is the projection of (-10 15 -10) cm onto the line: 18 cm along it.
  const Vec3 target = p1 + (0.3 + 0.18) * u;
  r.finalPositionMm = 1000 * norm(toolPosition(bench.state()) - target);
  r.settlingTime = r.overshootPercent = kNaN;
  bench.deleteLine();
  bench.takeText();
  return r;
}

ScenarioResult openMode(ScenarioBench& bench) {
  ScenarioResult r = begin(kOpen, "feed-forward swing of 25 deg out and back every 2 s");
  prepare(bench);
  float start[6];
  for (int i = 0; i < 6; ++i) start[i] = float(bench.state().q[i] * kDeg);
  bench.setMode(kOpen);
  r.trackingDeg = r.peakJointSpeed = 0;
  int tick = 0;
  r.seconds = 4.0;
  bench.run(r.seconds, [&](const ServoState& s) {
    const double t = ++tick * kTick;
    for (int i = 0; i < s.dof; ++i) {
      const double ref = start[i] + 25 * (1 - std::cos(2 * kPi * t / 2)) / 2;
      r.trackingDeg = std::max(r.trackingDeg, std::fabs(s.q[i] * kDeg - ref));
    }
    r.peakJointSpeed = std::max(r.peakJointSpeed, jointSpeedRatio(s));
  });
  r.finalJointDeg = jointErrorDeg(bench.state(), start);
  r.messages = bench.takeText();
  return r;
}

// The circle's own reference, computed here: centre c, radius 5 cm, horizontal,
// one turn in 6 s from angle 0; deviations count after the first 3 s (the arm
// starts at the centre and catches up).
ScenarioResult circleMode(ScenarioBench& bench) {
  Vec3 centre{};
  ScenarioResult r = taskMove(
      bench, kProj3, "circle r 5 cm around the ready tool position, 6 s a turn", {0, 0, 0}, {0, 0, 1}, 0,
      12.0,
      [&](ScenarioResult& out, const ServoState& s, double t) {
        if (t < 3) return;
        const double a = 2 * kPi * t / 6;
        const Vec3 ref = centre + Vec3{0.05 * std::cos(a), 0.05 * std::sin(a), 0};
        const double d = 1000 * norm(toolPosition(s) - ref);
        out.trackingMm = std::isnan(out.trackingMm) ? d : std::max(out.trackingMm, d);
      },
      [&](ScenarioBench&, Vec3 p0, Vec3) { centre = p0; });
  r.finalPositionMm = r.settlingTime = r.overshootPercent = kNaN;
  return r;
}

}  // namespace

ScenarioResult::ScenarioResult()
    : finalJointDeg(kNaN),
      finalPositionMm(kNaN),
      finalOrientationDeg(kNaN),
      settlingTime(kNaN),
      overshootPercent(kNaN),
      peakJointSpeed(kNaN),
      peakLinearSpeed(kNaN),
      trackingDeg(kNaN),
      trackingMm(kNaN),
      driftDeg(kNaN),
      driftMm(kNaN),
      obstacleMm(kNaN),
      lineMm(kNaN),
      lateReversals(kNaN),
      limitMarginDeg(kNaN) {}

ScenarioResult runScenario(ScenarioBench& bench, int mode) {
  switch (mode) {
    case kNoControl:
      return stillness(bench, mode, 0.5, "no torque for 0.5 s");
    case kFloat:
      return stillness(bench, mode, 5.0, "gravity compensation for 5 s");
    case kNjhold:
    case kJhold:
      return stillness(bench, mode, 5.0, "hold the joints for 5 s, then return within 3 s of a kick", true);
    case kNhold:
    case kHold:
    case kProj2:
      return stillness(bench, mode, 10.0, "hold the tool frame for 10 s, then return within 3 s of a kick",
                       true);
    case kOpen:
      return openMode(bench);
    case kNjmove:
    case kJmove:
    case kNjgoto:
    case kJgoto:
    case kNjtrack:
    case kJtrack:
      return jointMove(bench, mode, 8.0);
    case kNxtrack:
    case kXtrack:
    case kNgoto:
    case kGoto:
    case kNtrack:
    case kTrack:
    case kProj1:
      return taskMove(bench, mode, kTaskSetup, kTaskOffset, kTaskAxis, kTaskTurn, 8.0);
    case kPfmove: {
      ScenarioResult r = pfmove(bench);
      bench.deleteObstacle(1);
      bench.takeText();
      return r;
    }
    case kLine:
      return lineMode(bench);
    case kProj3:
      return circleMode(bench);
    default:
      return ScenarioResult();
  }
}

std::vector<ScenarioResult> runScenarios(ScenarioBench& bench) {
  std::vector<ScenarioResult> out;
  for (int mode = 0; mode < kNumControlModes; ++mode) out.push_back(runScenario(bench, mode));
  return out;
}

void printScenarioTable(const std::vector<ScenarioResult>& results, std::FILE* out) {
  auto cell = [out](double v, const char* format) {
    if (std::isnan(v))
      std::fprintf(out, " %8s", "-");
    else
      std::fprintf(out, format, v);
  };
  std::fprintf(out, "%-9s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n", "mode", "t(s)",
               "jerr(d)", "perr(mm)", "oerr(d)", "settle", "over(%)", "dq/dqmx", "v/vmax", "trk(d)",
               "trk(mm)", "drift(d)", "drift(mm)", "obst(mm)", "line(mm)");
  for (const ScenarioResult& r : results) {
    std::fprintf(out, "%-9s", r.word.c_str());
    cell(r.seconds, " %8.1f");
    cell(r.finalJointDeg, " %8.3f");
    cell(r.finalPositionMm, " %8.2f");
    cell(r.finalOrientationDeg, " %8.3f");
    cell(r.settlingTime, " %8.2f");
    cell(r.overshootPercent, " %8.2f");
    cell(r.peakJointSpeed, " %8.3f");
    cell(r.peakLinearSpeed, " %8.3f");
    cell(r.trackingDeg, " %8.3f");
    cell(r.trackingMm, " %8.2f");
    cell(r.driftDeg, " %8.3f");
    cell(r.driftMm, " %8.2f");
    cell(r.obstacleMm, " %8.1f");
    cell(r.lineMm, " %8.2f");
    std::fprintf(out, "\n");
  }
}
