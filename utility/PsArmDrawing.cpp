#include "utility/PsArmDrawing.h"

#include <cmath>
#include <iterator>

#include "utility/PlanarFrame.h"

namespace {
// Every prologue and trailer line after the first is indented by 17 blanks.
constexpr const char kIndent[] = "                 ";

constexpr const char kPrologueFirstLine[] = "%!PS-Adobe-2.0\n";
// The prologue ends with the indentation of a line still to come.
constexpr const char* kPrologueLines[] = {
    "%%Creator: korvexlib 1.0",
    "%%Title: robot.ps",
    "%%CreationDate: Fri May 6 15:33:31 1994",
    "%%Pages: 1",
    "%%PageOrder: Ascend",
    "%%BoundingBox: 0 0 612 792",
    "%%Pages: 1                 %%EndComments",
    "%%EndProlog",
    "%%Page: 1 1",
    "% remember original state",
    "/origstate save def",
    "",
    "% build a temporary dictionary",
    "20 dict begin",
    "",
    "/m { moveto } def",
    "/l { lineto } def",
    "/circle { 0 360 arc linefill } def",
    "0 6 72 mul translate",
    "1 -1 scale",
    "/linefill { gsave 1 setgray fill grestore 0 setgray stroke } def",
};

// The trailer starts by ending the line the last frame left open.
constexpr const char* kTrailerLines[] = {
    "showpage", "% stop using temporary dictionary", "end", "% restore original state", "%%Trailer", "%%EOF",
};

void writeIndentedLines(std::FILE* file, const char* const* lines, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    std::fputs(kIndent, file);
    std::fputs(lines[i], file);
    std::fputc('\n', file);
  }
}

// Link 1: the upper arm seen from the side.
constexpr PlanarPoint kShapeA[] = {{-0.17715f, -0.1395f},  {0.03322f, -0.1395f},   {0.45394f, -0.07086f},
                                   {0.48494f, -0.05757f},  {0.50045f, -0.03543f},  {0.50709f, -0.01107f},
                                   {0.5093f, 0.0155f},     {0.49823f, 0.04207f},   {0.48716f, 0.05757f},
                                   {0.47166f, 0.06643f},   {0.45394f, 0.07307f},   {0.03322f, 0.15501f},
                                   {-0.17715f, 0.15501f},  {-0.21036f, 0.08857f},  {-0.23251f, 0.02214f},
                                   {-0.23251f, -0.02214f}, {-0.21036f, -0.08857f}, {-0.17715f, -0.1395f}};
// Link 2: the forearm's wrist end (B) and body (C), drawn rotated (below).
constexpr PlanarPoint kShapeB[] = {{-0.0635054f, -0.353065f},
                                   {-0.0635054f, -0.393065f},
                                   {0.0229054f, -0.393065f},
                                   {0.0229054f, -0.353065f},
                                   {-0.0635054f, -0.353065f}};
constexpr PlanarPoint kShapeC[] = {
    {-0.085725f, 0.0812754f}, {-0.0635054f, -0.353065f}, {0.0229054f, -0.353065f}, {0.085725f, 0.0812754f},
    {0.03f, 0.1168f},         {-0.03f, 0.1168f},         {-0.085725f, 0.0812754f}};
// Link 3: the wrist and gripper.
constexpr PlanarPoint kShapeD1[] = {
    {0.048f, -0.025f}, {0.056f, -0.025f}, {0.056f, 0.025f}, {0.048f, 0.025f}, {0.048f, -0.025f}};
constexpr PlanarPoint kShapeD2[] = {
    {0.056f, -0.033f}, {0.086f, -0.033f}, {0.086f, 0.033f}, {0.056f, 0.033f}, {0.056f, -0.033f}};
constexpr PlanarPoint kShapeD3[] = {
    {0.086f, -0.02f}, {0.12f, -0.02f}, {0.12f, 0.02f}, {0.086f, 0.02f}, {0.086f, -0.02f}};
constexpr PlanarPoint kShapeD4[] = {
    {0.12f, -0.02f}, {0.17f, -0.02f}, {0.17f, -0.01f}, {0.12f, -0.01f}, {0.12f, -0.02f}};
constexpr PlanarPoint kShapeD5[] = {
    {0.12f, 0.01f}, {0.17f, 0.01f}, {0.17f, 0.02f}, {0.12f, 0.02f}, {0.12f, 0.01f}};
// Base: the column (E) and its top plate (F).
constexpr PlanarPoint kShapeE[] = {
    {-0.09f, 0.46f}, {0.09f, 0.46f}, {0.09f, 0.08f}, {-0.09f, 0.08f}, {-0.09f, 0.46f}};
constexpr PlanarPoint kShapeF[] = {
    {-0.18f, 0.5f}, {0.18f, 0.5f}, {0.18f, 0.46f}, {-0.18f, 0.46f}, {-0.18f, 0.5f}};

constexpr PlanarPoint kBaseOrigin = {1.3f, 0.8f};
constexpr float kLink1Length = 0.1501f;
constexpr float kLink2Length = 0.4115f;
// Shapes B and C are drawn in the forearm's frame turned by a quarter turn
// plus the forearm's small built-in offset.
constexpr float kForearmShapeAngle = 1.6176334f;  // 0.04683711 + pi/2

template <size_t N>
void writePolygon(std::FILE* file, const PlanarFrame& frame, const PlanarPoint (&points)[N]) {
  std::fputs("newpath ", file);
  for (size_t i = 0; i < N; ++i) {
    const PlanarPoint p = frame.apply(points[i]);
    std::fprintf(file, "%5.5f %5.5f %s ", p.x * kPsScale, p.y * kPsScale, i == 0 ? "m" : "l");
  }
  std::fputs("closepath linefill\n", file);
}

// Writes a polygon after turning its points about the shape's own origin.
template <size_t N>
void writeTurnedPolygon(std::FILE* file, const PlanarFrame& frame, const PlanarPoint (&points)[N]) {
  static const PlanarFrame turn = PlanarFrame::rotation(kForearmShapeAngle, {0.0f, 0.0f});
  PlanarPoint turned[N];
  for (size_t i = 0; i < N; ++i) turned[i] = turn.apply(points[i]);
  writePolygon(file, frame, turned);
}

void writeCircle(std::FILE* file, PlanarPoint centre, float radius) {
  std::fprintf(file, "%5.5f %5.5f %5.5f circle\n", centre.x * kPsScale, centre.y * kPsScale,
               radius * kPsScale);
}
}  // namespace

void writePsPrologue(std::FILE* file) {
  std::fputs(kPrologueFirstLine, file);
  writeIndentedLines(file, kPrologueLines, std::size(kPrologueLines));
  std::fputs(kIndent, file);
}

void writePsTrailer(std::FILE* file) {
  std::fputc('\n', file);
  writeIndentedLines(file, kTrailerLines, std::size(kTrailerLines));
}

void writeArmFrame(std::FILE* file, int frameNumber, float q0, float q1, float q2) {
  const PlanarFrame base = PlanarFrame::rotation(0.0f, kBaseOrigin);
  const PlanarFrame link1 = PlanarFrame::rotation(q0, kBaseOrigin);
  const PlanarFrame link2 = PlanarFrame::rotation(
      q0 + q1, {link1.tx + kLink1Length * std::cos(q0), link1.ty + kLink1Length * std::sin(q0)});
  const PlanarFrame link3 = PlanarFrame::rotation(
      q0 + q1 + q2,
      {link2.tx + kLink2Length * std::cos(q0 + q1), link2.ty + kLink2Length * std::sin(q0 + q1)});

  std::fprintf(file, "%% frame %d\n", frameNumber);
  std::fflush(file);
  writePolygon(file, link1, kShapeA);
  writeTurnedPolygon(file, link2, kShapeB);
  writeTurnedPolygon(file, link2, kShapeC);
  writePolygon(file, link3, kShapeD1);
  writePolygon(file, link3, kShapeD2);
  writePolygon(file, link3, kShapeD3);
  writePolygon(file, link3, kShapeD4);
  writePolygon(file, link3, kShapeD5);
  writeCircle(file, link3.origin(), 0.04f);
  writePolygon(file, base, kShapeE);
  writePolygon(file, base, kShapeF);
  writeCircle(file, link1.origin(), 0.1181f);
  writeCircle(file, link1.origin(), 0.08f);
}
