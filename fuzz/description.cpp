// Description files come from users: any bytes must be refused or read, never
// crash. The first byte picks the joint count and the format.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "libpuma/PrRobotDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const std::string path = "/tmp/korvex-fuzz-description-" + std::to_string(getpid()) + ".prm";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);
  const int joints = 1 + data[0] % 7;
  const int format = (data[0] >> 3) & 1;
  PrRobotDescription description;
  if (readRobotDescription(path.c_str(), joints, format, description) &&
      description.joints.size() > size_t(joints))
    __builtin_trap();
  return 0;
}
