#include "ScreenWatch.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "DesktopControl.h"
#include "gui/PumaGeometry.h"
#include "gui/SceneGuides.h"
#include "utility/Angles.h"

QImage screenshot(const std::filesystem::path& scratchFile) {
  shell("import -window root -depth 8 ppm:" + scratchFile.string());
  return QImage(QString::fromStdString(scratchFile.string())).convertToFormat(QImage::Format_RGB32);
}

namespace {
bool isBackground(QRgb c) {
  return std::abs(qRed(c) - int(255 * scene::kBackground[0] + 0.5f)) <= 2 &&
         std::abs(qGreen(c) - int(255 * scene::kBackground[1] + 0.5f)) <= 2 &&
         std::abs(qBlue(c) - int(255 * scene::kBackground[2] + 0.5f)) <= 2;
}
}  // namespace

QRect findView(const QImage& screen) {
  int left = screen.width(), right = -1, top = screen.height(), bottom = -1;
  for (int y = 0; y < screen.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
    for (int x = 0; x < screen.width(); ++x) {
      if (!isBackground(line[x])) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < left + 50 || bottom < top + 50) return QRect();
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

QPointF projectDefault(const QRect& viewRect, const PrVector3& world) {
  double eye[3];
  pumagl::defaultEyePosition(eye);
  // The camera looks at the origin with z up: forward, right and up axes.
  const PrVector3 from(static_cast<float>(eye[0]), static_cast<float>(eye[1]), static_cast<float>(eye[2]));
  PrVector3 forward = -from;
  forward.normalize();
  PrVector3 right = forward.cross(PrVector3(0, 0, 1));
  right.normalize();
  const PrVector3 up = right.cross(forward);
  const PrVector3 d = world - from;
  const double x = right.dot(d), y = up.dot(d), depth = forward.dot(d);
  double w = 0, h = 0;
  pumagl::frustumSize(double(viewRect.width()) / viewRect.height(), w, h);
  const double xn = pumagl::kNearPlane * x / depth / (w / 2), yn = pumagl::kNearPlane * y / depth / (h / 2);
  return QPointF(viewRect.left() + (xn + 1) / 2 * (viewRect.width() - 1),
                 viewRect.top() + (1 - yn) / 2 * (viewRect.height() - 1));
}

PrVector3 armPoint(const std::vector<double>& q, int link, const PrVector3& local) {
  // Applied from the last frame inwards: p ← Rx(α) Tx(a) Tz(d) Rz(θ) p.
  double p[3] = {local[0], local[1], local[2]};
  for (int i = std::min(link, 6); i >= 1; --i) {
    const pumagl::DhLink& dh = pumagl::kLinks[i - 1];
    const double theta = q[size_t(i - 1)] * kPi / 180, alpha = dh.alphaDeg * kPi / 180;
    const double x = std::cos(theta) * p[0] - std::sin(theta) * p[1];
    const double y = std::sin(theta) * p[0] + std::cos(theta) * p[1];
    const double z = p[2] + dh.d;
    p[0] = x + dh.a;
    p[1] = std::cos(alpha) * y - std::sin(alpha) * z;
    p[2] = std::sin(alpha) * y + std::cos(alpha) * z;
  }
  if (link == 0) p[2] -= pumagl::kShoulderHeight;
  return PrVector3(float(p[0]), float(p[1]), float(p[2]));
}

bool isToolMark(QRgb c) { return qRed(c) > 150 && qRed(c) > qGreen(c) + 40 && qGreen(c) > qBlue(c) + 20; }
bool isObstacle(QRgb c) { return qBlue(c) > 120 && qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 30; }
bool isLineRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }

std::optional<QPointF> centreOf(const QImage& screen, QPointF around, int radius,
                                const std::function<bool(QRgb)>& kind) {
  double sx = 0, sy = 0;
  int count = 0;
  const QRect area = QRect(around.toPoint() - QPoint(radius, radius), QSize(2 * radius + 1, 2 * radius + 1))
                         .intersected(screen.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (kind(screen.pixel(x, y))) {
        sx += x;
        sy += y;
        ++count;
      }
  if (count == 0) return std::nullopt;
  return QPointF(sx / count, sy / count);
}

int changedPixels(const QImage& a, const QImage& b, const QRect& area, int tolerance) {
  if (a.size() != b.size()) return area.width() * area.height();
  int changed = 0;
  const QRect inside = area.intersected(a.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      const int d =
          std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
      if (d > tolerance) ++changed;
    }
  return changed;
}

QRect findScopeChart(const QImage& screen, const QRect& view, const Geometry& window) {
  int top = -1, bottom = -1;
  const int left = std::max(window.x, 0), right = std::min(window.x + window.width, screen.width());
  for (int y = view.bottom() + 1; y < std::min(window.y + window.height + 400, screen.height()); ++y) {
    int white = 0;
    for (int x = left; x < right; ++x) white += qGray(screen.pixel(x, y)) > 250;
    if (white > 0.6 * (right - left)) {
      if (top < 0) top = y;
      bottom = y;
    }
  }
  return top < 0 || bottom - top < 100 ? QRect() : QRect(left, top, right - left, bottom - top + 1);
}

int curvePixels(const QImage& screen, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = screen.pixelColor(x, y);
      count += std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 80;
    }
  return count;
}
