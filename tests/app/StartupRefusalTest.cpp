// The program refuses to start, with a clear message and a failure status,
// when its working directory lacks what it needs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "KorvexRun.h"

namespace {

namespace fs = std::filesystem;

struct Refusal {
  int status = -1;
  std::string err;  // standard output and error together
};

// Runs korvex headless in a fresh directory holding only the given files
// copied from the test's working directory.
Refusal runIn(const std::string& name, std::initializer_list<const char*> files) {
  const fs::path dir = fs::path(tempPath(name));
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const char* f : files) fs::copy_file(f, dir / f);
  const std::string korvex = (fs::current_path() / "korvex").string();
  const std::string outFile = (dir / "output.txt").string();
  const std::string cmd =
      "cd '" + dir.string() + "' && '" + korvex + "' --no-gui </dev/null >'" + outFile + "' 2>&1";
  const int raw = std::system(cmd.c_str());
  Refusal r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = readTextFile(outFile);
  return r;
}

TEST(StartupRefusal, MissingDescriptionOrConfigurationEndsWithAMessageAndFailure) {
  std::string why;
  if (!korvexAvailable(&why)) GTEST_SKIP() << why;

  const Refusal noArm = runIn("no-prm", {"Configuration.dat"});
  EXPECT_NE(noArm.status, 0);
  EXPECT_NE(noArm.err.find("couldn't open file(puma560.prm)"), std::string::npos) << noArm.err;
  EXPECT_NE(noArm.err.find("cannot start without a valid puma560.prm"), std::string::npos) << noArm.err;
  EXPECT_EQ(noArm.err.find("Entering servoLoop"), std::string::npos) << noArm.err;

  const Refusal noConfig = runIn("no-config", {"puma560.prm"});
  EXPECT_NE(noConfig.status, 0);
  EXPECT_EQ(noConfig.err, "Failed to get Refresh Rates.  Exiting.\n");
}

}  // namespace
