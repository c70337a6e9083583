// Watching the real program's window through screenshots of the X server's
// screen, as a person looks at it: where the 3D view is, where a world point
// appears in it under the default camera, and where things of a colour are.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "matrix/PrVector3.h"

struct Geometry;

// The whole screen now (ImageMagick's import of the root window).
QImage screenshot(const std::filesystem::path& scratchFile);

// The 3D view's rectangle on the screen: the extent of its background
// colour; an empty rectangle when none shows.
QRect findView(const QImage& screen);

// Where a world point appears in a view on `viewRect` under the default
// camera, computed here from its position, target and frustum alone.
QPointF projectDefault(const QRect& viewRect, const PrVector3& world);

// Where a point given in the frame of link `link` (0 = pedestal ... 6 =
// flange) is in the world, for the six joint angles q in degrees: the chain
// of the arm's description, computed here.
PrVector3 armPoint(const std::vector<double>& q, int link, const PrVector3& local);

// Kinds of pixel the view draws in colours of their own.
bool isToolMark(QRgb c);  // the orange mark of the tool point
bool isObstacle(QRgb c);  // obstacle spheres, blue
bool isLineRed(QRgb c);   // the virtual line

// The centre of the pixels of a kind within `radius` of `around`, if any.
std::optional<QPointF> centreOf(const QImage& screen, QPointF around, int radius,
                                const std::function<bool(QRgb)>& kind);
// Pixels of `area` whose colours differ between two screenshots by more than
// `tolerance` (the sum over red, green and blue).
int changedPixels(const QImage& a, const QImage& b, const QRect& area, int tolerance = 0);

// The scope's chart on the screen: the rows below the view, within the
// window, that are mostly the chart's white; an empty rectangle when none.
QRect findScopeChart(const QImage& screen, const QRect& view, const Geometry& window);
// Pixels of `area` in a curve's saturated colour.
int curvePixels(const QImage& screen, const QRect& area);
