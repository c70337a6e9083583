// The servo's constants: the type numbers that lead a UI_CONSTANT request,
// the console word that sets each, and what follows the number.
//
// Header-only and constexpr, like the control-mode table.
#pragma once

#include <array>
#include <string_view>

enum class ConstantType : int {
  kRobotType = 0,
  kVmax = 1,
  kAmax = 2,
  kWmax = 3,
  kRho0 = 4,
  kEta = 5,
  kSbound = 6,
  kSpringK = 7,
  kSimSpeed = 8,
  kJlimit = 9,
  kFriction = 10,
  kTorqueLimit = 11,
  kQmin = 12,
  kQmax = 13,
  kDqmax = 14,
  kDdqmax = 15,
  kQ0 = 16,
  kKj = 17,
  kSetObstacle = 18,
  kDelObstacle = 19,
  kSetLine = 20,
  kDelLine = 21,
  kKp = 22,
  kKv = 23,
  kEmassPos = 24,
  kMsiPos = 25,
  kMaxVelDisplay = 26,
};

constexpr int kConstantTypeCount = 27;  // constant types 0 to 26

// What follows the type number in a UI_CONSTANT request.
enum class ConstantPayload {
  kInteger,   // one integer (robot type)
  kFloat,     // one float
  kToggle,    // nothing: the servo flips a switch
  kPerJoint,  // dof floats
  kObstacle,  // integer id, centre (3 floats), radius
  kId,        // integer obstacle id
  kLine,      // the two end points, 6 floats
  kGains,     // integer mode, then the mode's stored number of gains
  kSwitch,    // one integer, on when above 0
};

// After the servo applies a constant it tells the user interface what changed.
enum class ConstantAnswer {
  kConfiguration,  // SERVO_CONFIG
  kGains,          // SERVO_GAINS of the mode
  kNothing,
};

struct ConstantInfo {
  ConstantType type;
  const char* word;  // console command word
  ConstantPayload payload;
  ConstantAnswer answer;
};

namespace constant_type_detail {
using T = ConstantType;
using P = ConstantPayload;
using A = ConstantAnswer;
}  // namespace constant_type_detail

// In type order: kConstants[t].type == t.
inline constexpr std::array<ConstantInfo, kConstantTypeCount> kConstants = [] {
  using namespace constant_type_detail;
  return std::array<ConstantInfo, kConstantTypeCount>{{
      {T::kRobotType, "robottype", P::kInteger, A::kConfiguration},
      {T::kVmax, "vmax", P::kFloat, A::kConfiguration},
      {T::kAmax, "amax", P::kFloat, A::kConfiguration},
      {T::kWmax, "wmax", P::kFloat, A::kConfiguration},
      {T::kRho0, "rho0", P::kFloat, A::kConfiguration},
      {T::kEta, "eta", P::kFloat, A::kConfiguration},
      {T::kSbound, "sbound", P::kFloat, A::kConfiguration},
      {T::kSpringK, "springk", P::kFloat, A::kConfiguration},
      {T::kSimSpeed, "simspeed", P::kFloat, A::kConfiguration},
      {T::kJlimit, "jlimit", P::kToggle, A::kConfiguration},
      {T::kFriction, "friction", P::kToggle, A::kConfiguration},
      {T::kTorqueLimit, "torqlim", P::kToggle, A::kConfiguration},
      {T::kQmin, "qmin", P::kPerJoint, A::kConfiguration},
      {T::kQmax, "qmax", P::kPerJoint, A::kConfiguration},
      {T::kDqmax, "dqmax", P::kPerJoint, A::kConfiguration},
      {T::kDdqmax, "ddqmax", P::kPerJoint, A::kConfiguration},
      {T::kQ0, "q0", P::kPerJoint, A::kConfiguration},
      {T::kKj, "kj", P::kPerJoint, A::kConfiguration},
      {T::kSetObstacle, "setobstacle", P::kObstacle, A::kConfiguration},
      {T::kDelObstacle, "delobstacle", P::kId, A::kConfiguration},
      {T::kSetLine, "setline", P::kLine, A::kConfiguration},
      {T::kDelLine, "delline", P::kToggle, A::kConfiguration},
      {T::kKp, "kp", P::kGains, A::kGains},
      {T::kKv, "kv", P::kGains, A::kGains},
      {T::kEmassPos, "setemasspos", P::kSwitch, A::kNothing},
      {T::kMsiPos, "setmsipos", P::kSwitch, A::kNothing},
      {T::kMaxVelDisplay, "setifmaxvel", P::kSwitch, A::kNothing},
  }};
}();

static_assert(
    [] {
      for (int t = 0; t < kConstantTypeCount; ++t)
        if (static_cast<int>(kConstants[t].type) != t) return false;
      return true;
    }(),
    "kConstants is listed in type order");

constexpr int constantNumber(ConstantType type) { return static_cast<int>(type); }
constexpr bool isConstantType(int type) { return type >= 0 && type < kConstantTypeCount; }
constexpr const ConstantInfo& constantInfo(ConstantType type) { return kConstants[constantNumber(type)]; }
constexpr const char* constantWord(ConstantType type) { return constantInfo(type).word; }

// The constant set by word, or -1 when no constant has that word.
constexpr int constantOfWord(std::string_view word) {
  for (const ConstantInfo& c : kConstants)
    if (word == c.word) return constantNumber(c.type);
  return -1;
}
