#include "KitBuild.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

std::string buildKitTemplate(const std::string& kitDir, const std::string& name, std::string* why) {
  const fs::path dir = fs::temp_directory_path() / ("korvex-kit-" + name + "-" + std::to_string(getpid()));
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::copy(kitDir, dir, fs::copy_options::recursive, ec);
  if (ec) {
    *why = "cannot copy the kit " + kitDir + ": " + ec.message();
    return "";
  }
  const fs::path log = dir / "build.log";
  const std::string command = "make -s -C '" + dir.string() + "' > '" + log.string() + "' 2>&1";
  if (std::system(command.c_str()) != 0) {
    *why = "make failed; see " + log.string();
    return "";
  }
  return (dir / "control.dll").string();
}
