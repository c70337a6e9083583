#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "utility/Angles.h"
#include "utility/PsArmDrawing.h"

namespace {

std::string capture(void (*write)(std::FILE*)) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* f = open_memstream(&text, &size);
  write(f);
  std::fclose(f);
  std::string result(text, size);
  std::free(text);
  return result;
}

std::string frameText(int number, float q0, float q1, float q2) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* f = open_memstream(&text, &size);
  writeArmFrame(f, number, q0, q1, q2);
  std::fclose(f);
  std::string result(text, size);
  std::free(text);
  return result;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

const std::string kIndent(17, ' ');

TEST(PsArmDrawing, PrologueLinesAreIndentedBy17BlanksAndEndWithoutNewline) {
  const std::string prologue = capture(writePsPrologue);
  const std::vector<std::string> all = lines(prologue);
  ASSERT_EQ(all.size(), 23u);
  EXPECT_EQ(all[0], "%!PS-Adobe-2.0");
  for (size_t i = 1; i < all.size(); ++i) EXPECT_EQ(all[i].substr(0, 17), kIndent) << "line " << i;
  EXPECT_EQ(all[7], kIndent + "%%Pages: 1" + kIndent + "%%EndComments");
  EXPECT_EQ(all[12], kIndent);  // blank lines hold the blanks only
  EXPECT_EQ(all[21], kIndent + "/linefill { gsave 1 setgray fill grestore 0 setgray stroke } def");
  EXPECT_EQ(prologue.substr(prologue.size() - 18), "\n" + kIndent);
}

TEST(PsArmDrawing, TrailerClosesThePage) {
  EXPECT_EQ(capture(writePsTrailer), "\n" + kIndent + "showpage\n" + kIndent +
                                         "% stop using temporary dictionary\n" + kIndent + "end\n" + kIndent +
                                         "% restore original state\n" + kIndent + "%%Trailer\n" + kIndent +
                                         "%%EOF\n");
}

TEST(PsArmDrawing, FrameHoldsTenPolygonsAndThreeCirclesInOrder) {
  const std::vector<std::string> all = lines(frameText(7, 0.1f, 0.2f, 0.3f));
  ASSERT_EQ(all.size(), 14u);
  EXPECT_EQ(all[0], "% frame 7");
  const int pointCounts[] = {18, 5, 7, 5, 5, 5, 5, 5};
  for (int i = 0; i < 8; ++i) {
    const std::string& line = all[1 + i];
    EXPECT_EQ(line.rfind("newpath ", 0), 0u) << line;
    EXPECT_NE(line.find("closepath linefill"), std::string::npos);
    int points = 0;
    std::istringstream words(line);
    for (std::string w; words >> w;) points += (w == "m" || w == "l");
    EXPECT_EQ(points, pointCounts[i]) << "polygon " << i;
  }
  EXPECT_NE(all[9].find(" circle"), std::string::npos);
  EXPECT_EQ(all[10].rfind("newpath ", 0), 0u);
  EXPECT_EQ(all[11].rfind("newpath ", 0), 0u);
  EXPECT_EQ(all[12], "260.00000 160.00000 23.62000 circle");
  EXPECT_EQ(all[13], "260.00000 160.00000 16.00000 circle");
}

// Link 3's origin by planar forward kinematics, in PostScript points.
void expectWristCircleAt(float q0, float q1, float q2) {
  const double x = 1.3 + 0.1501 * std::cos(q0) + 0.4115 * std::cos(q0 + q1);
  const double y = 0.8 + 0.1501 * std::sin(q0) + 0.4115 * std::sin(q0 + q1);
  const std::vector<std::string> all = lines(frameText(1, q0, q1, q2));
  double cx = 0, cy = 0, r = 0;
  ASSERT_EQ(std::sscanf(all[9].c_str(), "%lf %lf %lf circle", &cx, &cy, &r), 3) << all[9];
  EXPECT_NEAR(cx, 200 * x, 1e-3);
  EXPECT_NEAR(cy, 200 * y, 1e-3);
  EXPECT_NEAR(r, 8.0, 1e-9);
}

TEST(PsArmDrawing, WristCircleFollowsTheForwardKinematics) {
  expectWristCircleAt(0, 0, 0);
  expectWristCircleAt(1.5707963f, 0, 0);
  expectWristCircleAt(0.3f, -0.5f, 0.9f);
  expectWristCircleAt(-2.0f, 2.5f, -1.0f);
}

TEST(PsArmDrawing, ForearmShapesAreTurnedAboutTheirOrigin) {
  // At q = 0 the forearm frame sits at (1.4501, 0.8) without rotation, so
  // shape B's first point is only turned by 1.6176334 rad and moved there.
  const double turn = 0.04683711 + kPi / 2;
  const double px = -0.0635054, py = -0.353065;
  const double x = 1.4501 + std::cos(turn) * px - std::sin(turn) * py;
  const double y = 0.8 + std::sin(turn) * px + std::cos(turn) * py;
  const std::vector<std::string> all = lines(frameText(1, 0, 0, 0));
  double bx = 0, by = 0;
  ASSERT_EQ(std::sscanf(all[2].c_str(), "newpath %lf %lf m", &bx, &by), 2) << all[2];
  EXPECT_NEAR(bx, 200 * x, 2e-3);
  EXPECT_NEAR(by, 200 * y, 2e-3);
}

}  // namespace
