// Writes the control-mode and constant tables as plain text for scripts:
//   DIR/modes.txt      "number word goal gains" per mode, goal one of none,
//                      joint, config, config+elbow; gains joint or operational
//   DIR/constants.txt  "number word payload" per constant type
// so that a script reads the words from the build instead of keeping a copy.
#include <cstdio>
#include <string>

#include "protocol/ConstantType.h"
#include "protocol/ControlModeTable.h"

namespace {

const char* goalName(GoalKind goal) {
  switch (goal) {
    case GoalKind::kNone:
      return "none";
    case GoalKind::kJoint:
      return "joint";
    case GoalKind::kConfig:
      return "config";
    case GoalKind::kConfigElbow:
      return "config+elbow";
  }
  return "?";
}

const char* payloadName(ConstantPayload payload) {
  switch (payload) {
    case ConstantPayload::kInteger:
      return "integer";
    case ConstantPayload::kFloat:
      return "float";
    case ConstantPayload::kToggle:
      return "none";
    case ConstantPayload::kPerJoint:
      return "per-joint";
    case ConstantPayload::kObstacle:
      return "obstacle";
    case ConstantPayload::kId:
      return "id";
    case ConstantPayload::kLine:
      return "line";
    case ConstantPayload::kGains:
      return "gains";
    case ConstantPayload::kSwitch:
      return "switch";
  }
  return "?";
}

bool writeFile(const std::string& path, void (*write)(std::FILE*)) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  write(f);
  return std::fclose(f) == 0;
}

void writeModes(std::FILE* f) {
  for (const ControlModeInfo& m : kControlModes)
    std::fprintf(f, "%d %s %s %s\n", m.mode, m.word, goalName(m.goal),
                 m.gains == GainSpace::kJoint ? "joint" : "operational");
}

void writeConstants(std::FILE* f) {
  for (const ConstantInfo& c : kConstants)
    std::fprintf(f, "%d %s %s\n", constantNumber(c.type), c.word, payloadName(c.payload));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  return writeFile(dir + "/modes.txt", writeModes) && writeFile(dir + "/constants.txt", writeConstants) ? 0
                                                                                                        : 1;
}
