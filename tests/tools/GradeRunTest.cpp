// korvex-grade as users run it, in the run directory: the reference plug-in
// passes everything, the kit's template fails the modes it stubs, and plug-ins
// that crash, hang or write NaN each fail with their reason while grading goes on.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "KitBuild.h"
#include "scenarios/GradedScenarios.h"

namespace {

namespace fs = std::filesystem;

struct GradeOutput {
  int status = -1;
  std::string out, err, json;
};

std::string read(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

GradeOutput grade(const std::string& arguments) {
  const fs::path dir = testing::TempDir();
  const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
  const fs::path out = dir / (name + ".out"), err = dir / (name + ".err"), json = dir / (name + ".json");
  fs::remove(json);
  const std::string command = "./korvex-grade " + arguments + " --json '" + json.string() + "' > '" +
                              out.string() + "' 2> '" + err.string() + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read(out), read(err), read(json)};
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string testPlugin(const char* name) { return std::string(KORVEX_TEST_PLUGIN_DIR) + "/" + name + ".so"; }

// A sanitized build runs the scenarios some forty times slower: there a few
// of them (two the kit's template passes, two it fails) stand for the whole
// catalogue, with room in the time limit.
#ifdef KORVEX_SANITIZED
const std::string kSelection =
    " --time-limit 300 --scenario nocontrol --scenario float --scenario jhold --scenario goto";
constexpr int kScenarios = 4;
#else
const std::string kSelection;
const int kScenarios = int(gradedScenarios().size());
#endif
const std::string kPassedAll = std::to_string(kScenarios) + " of " + std::to_string(kScenarios);

// A first-column cell of the grade table over the whole selection: padded to
// its longest scenario name, then the two spaces before the next column.
std::string cell(const std::string& text) {
  size_t width = std::string("scenario").size();
#ifdef KORVEX_SANITIZED
  width = std::string("nocontrol").size();
#else
  for (const GradedScenario& s : gradedScenarios()) width = std::max(width, s.name.size());
#endif
  return text + std::string(width - text.size() + 2, ' ');
}

TEST(GradeRun, ReferencePluginPassesEveryScenario) {
  const GradeOutput run = grade("--jobs 2" + kSelection);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find(cell("passed") + kPassedAll + "\n"), std::string::npos) << run.out;
  EXPECT_NE(run.json.find("\"passed\": true,"), std::string::npos);
  EXPECT_EQ(count(run.json, "\"outcome\": \"pass\""), kScenarios) << run.json;
}

// As a kit user grades: make grade in the kit's directory.
TEST(GradeRun, KitTemplateFailsEveryModeItStubs) {
  std::string why;
  const std::string kit = buildKitTemplate(KORVEX_KIT_DIR, "grade", &why);
  ASSERT_FALSE(kit.empty()) << why;
  const fs::path dir = fs::path(kit).parent_path();
  const fs::path json = dir / "grade.json";
  const std::string command = "make -s -C '" + dir.string() + "' grade KORVEX_RUN='" +
                              fs::current_path().string() + "' GRADE_FLAGS='--json " + json.string() +
                              kSelection + "' > '" + (dir / "grade.out").string() + "' 2>&1";
  const int status = std::system(command.c_str());
  const std::string out = read(dir / "grade.out"), report = read(json);
  EXPECT_NE(WEXITSTATUS(status), 0) << "make reports the failed grade";
  EXPECT_NE(out.find(cell("passed") + "2 of " + std::to_string(kScenarios) + "\n"), std::string::npos) << out;
  // Its nocontrol and float are the real thing; every other mode only floats.
  EXPECT_EQ(count(report, "\"outcome\": \"pass\""), 2) << out;
  EXPECT_EQ(count(report, "\"outcome\": \"fail\""), kScenarios - 2) << out;
  EXPECT_NE(out.find(cell("nocontrol") + "pass\n" + cell("float") + "pass\n"), std::string::npos) << out;
  fs::remove_all(dir);
}

TEST(GradeRun, CrashingHangingAndNanPluginsEachFailWithTheirReasonAndGradingFinishes) {
#ifdef KORVEX_SANITIZED
  const char* limit = "20";
#else
  const char* limit = "2";
#endif
  const std::string crash = testPlugin("crashing_plugin"), hang = testPlugin("hanging_plugin"),
                    nan = testPlugin("nan_plugin");
  const GradeOutput run =
      grade("--plugin " + crash + " --plugin " + hang + " --plugin " + nan +
            " --scenario float --scenario jgoto --scenario jmove --jobs 2 --time-limit " + limit);
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  // Each fault costs its own scenario: float passes in all three.
  EXPECT_NE(run.out.find("float     pass"), std::string::npos) << run.out;
  EXPECT_EQ(count(run.json, "\"outcome\": \"pass\""), 3) << run.out;
#ifndef KORVEX_SANITIZED  // a sanitizer reports the bad write and exits instead
  EXPECT_EQ(count(run.out, "crashed with SIGSEGV (Segmentation fault)"), 2) << run.out;
#endif
  EXPECT_EQ(count(run.json, "\"outcome\": \"crash\""), 2) << run.out;
  EXPECT_EQ(count(run.out, std::string("did not finish within the time limit of ") + limit + " s"), 2)
      << run.out;
  EXPECT_EQ(count(run.out, "handed the servo non-finite torques on "), 2) << run.out;
  EXPECT_EQ(count(run.out, "passed    1 of 3"), 1) << run.out;
}

TEST(GradeRun, BadUsageIsRefusedWithExitStatusTwo) {
  for (const char* arguments : {"--jobs 0", "--frobnicate", "--plugin ./no-such.dll", "--scenario nosuch"}) {
    const GradeOutput run = grade(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_NE(run.err.find("Usage: korvex-grade"), std::string::npos) << arguments << ": " << run.err;
    EXPECT_EQ(run.out, "") << arguments;
  }
}

}  // namespace
