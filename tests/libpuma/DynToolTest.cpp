// korvex-dyn, run as a user would from the run directory.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "DynamicsTestSupport.h"

namespace {

struct Result {
  std::string out;
  int status;
};

Result runTool(const std::string& args, const std::string& input) {
  const std::string inputPath = dyntest::writeTempFile("dyn-input.txt", input);
  const std::string command = "./korvex-dyn " + args + " < " + inputPath + " 2>&1";
  Result r{"", -1};
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) r.out += buffer;
  r.status = pclose(pipe);
  return r;
}

std::vector<float> numbersOf(const std::string& line) {
  std::istringstream in(line);
  std::vector<float> v;
  float x;
  while (in >> x) v.push_back(x);
  return v;
}

TEST(DynTool, GravityAndMassAgreeWithTheDriver) {
  auto arm = dyntest::shippedPuma(true);
  ASSERT_TRUE(arm);
  const PrVector q = dyntest::vec6(0.1f, -0.7f, 1.1f, 0.3f, 0.9f, -0.4f);
  arm->setState(q, PrVector(6));
  PrVector g;
  PrMatrix M;
  arm->computeGravity(g);
  arm->computeMassMatrix(M);

  const std::string line = "0.1 -0.7 1.1 0.3 0.9 -0.4\n";
  const Result gravity = runTool("gravity", "# comment\n\n" + line);
  ASSERT_EQ(gravity.status, 0) << gravity.out;
  const std::vector<float> gv = numbersOf(gravity.out);
  ASSERT_EQ(gv.size(), 6u) << gravity.out;
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(gv[i], g[i]);

  const Result mass = runTool("mass", line);
  const std::vector<float> mv = numbersOf(mass.out);
  ASSERT_EQ(mv.size(), 36u) << mass.out;
  for (int i = 0; i < 36; ++i) EXPECT_FLOAT_EQ(mv[i], M.dataPtr()[i]);
}

TEST(DynTool, InverseThenForwardRoundTripsThroughText) {
  const std::string state = "0.2 -0.5 0.8 0.1 0.6 0.3  0.5 -0.4 0.3 0.2 -0.6 0.9";
  const Result id = runTool("--no-friction id", state + "  1 -2 0.5 3 -1 2\n");
  ASSERT_EQ(id.status, 0) << id.out;
  const Result fd = runTool("--no-friction fd", state + " " + id.out);
  ASSERT_EQ(fd.status, 0) << fd.out;
  const std::vector<float> acc = numbersOf(fd.out);
  const float expected[6] = {1, -2, 0.5f, 3, -1, 2};
  ASSERT_EQ(acc.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(acc[i], expected[i], 2e-3f) << i;
}

TEST(DynTool, BadLinesAreNamedAndSkipped) {
  const Result r = runTool("gravity", "0 0 0 0 0\n0 0 0 0 0 x\n0 0 0 0 0 0\n");
  EXPECT_NE(r.out.find("line 1: expected 6 numbers for gravity, got 5"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("line 2: not a number: 'x'"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0 -41."), std::string::npos) << "the good line is still evaluated: " << r.out;
  EXPECT_NE(r.status, 0);

  const Result noFile = runTool("--prm missing.prm mass", "");
  EXPECT_EQ(noFile.out, "Error: couldn't open file(missing.prm)\n");
  EXPECT_NE(noFile.status, 0);
  EXPECT_NE(runTool("frobnicate", "").status, 0);
}

}  // namespace
