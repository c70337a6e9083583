#include "utility/PsArmDrawing.h"

#include <cmath>

#include "utility/PlanarFrame.h"

namespace {
// Every prologue and trailer line after the first is indented by 17 blanks.
#define INDENT "                 "

constexpr const char kPrologue[] =
    "%!PS-Adobe-2.0\n" INDENT "%%Creator: korvexlib 1.0\n" INDENT "%%Title: robot.ps\n" INDENT
    "%%CreationDate: Fri May 6 15:33:31 1994\n" INDENT "%%Pages: 1\n" INDENT "%%PageOrder: Ascend\n" INDENT
    "%%BoundingBox: 0 0 612 792\n" INDENT "%%Pages: 1" INDENT "%%EndComments\n" INDENT "%%EndProlog\n" INDENT
    "%%Page: 1 1\n" INDENT "% remember original state\n" INDENT "/origstate save def\n" INDENT "\n" INDENT
    "% build a temporary dictionary\n" INDENT "20 dict begin\n" INDENT "\n" INDENT
    "/m { moveto } def\n" INDENT "/l { lineto } def\n" INDENT "/circle { 0 360 arc linefill } def\n" INDENT
    "0 6 72 mul translate\n" INDENT "1 -1 scale\n" INDENT
    "/linefill { gsave 1 setgray fill grestore 0 setgray stroke } def\n" INDENT;

constexpr const char kTrailer[] =
    "\n" INDENT "showpage\n" INDENT "% stop using temporary dictionary\n" INDENT "end\n" INDENT
    "% restore original state\n" INDENT "%%Trailer\n" INDENT "%%EOF\n";
#undef INDENT

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

void writePsPrologue(std::FILE* file) { std::fputs(kPrologue, file); }

void writePsTrailer(std::FILE* file) { std::fputs(kTrailer, file); }

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
