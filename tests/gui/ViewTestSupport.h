// Shared pieces of the 3D view tests: a console stand-in that records the
// command lines, a shown view of a fixed size, and world-to-pixel projection.
#pragma once

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestEnvironment.h"
#include "gui/PumaGeometry.h"
#include "gui/RobotWidget.h"
#include "gui/SceneGuides.h"
#include "matrix/PrVector3.h"
#include "utility/CommandDispatcher.h"

class RecordingConsole : public CommandDispatcher {
 public:
  bool processCommand(const char* commandStr, char* = nullptr) override {
    lines.emplace_back(commandStr);
    return true;
  }
  std::vector<std::string> lines;
};

constexpr int kViewWidth = 400;
constexpr int kViewHeight = 400;

// Runs the event loop until the shown view has put its first frame on screen
// (it then has its context).
inline void waitForFirstFrame(RobotWidget& view) {
  processUntil([&] { return view.framesDrawn() > 0; });
}

// A shown, painted view of the 6-DOF arm with the recording console; the
// guides are hidden, so what is drawn is the arm and the items.
inline std::unique_ptr<RobotWidget> makeView(RecordingConsole& console, int robotType = 3) {
  guiApplication();
  auto view = std::make_unique<RobotWidget>();
  for (int guide = 0; guide < RobotWidget::kGuideCount; ++guide) view->toggleGuide(guide);
  view->setConsole(&console);
  view->resize(kViewWidth, kViewHeight);
  view->show();
  view->switchRobotType(robotType);
  waitForFirstFrame(*view);
  return view;
}

// A world point in the camera's coordinates (the camera looks along −z).
inline PrVector3 eyeCoordinates(const RobotWidget& view, const PrVector3& p) {
  const float* m = view.eyeFrame();
  PrVector3 e;
  for (int i = 0; i < 3; ++i) e[i] = m[i] * p[0] + m[4 + i] * p[1] + m[8 + i] * p[2] + m[12 + i];
  return e;
}

// Where the camera is, in world coordinates.
inline PrVector3 eyePosition(const RobotWidget& view) {
  const float* m = view.eyeFrame();
  PrVector3 world;
  for (int i = 0; i < 3; ++i) world[i] = -(m[4 * i] * m[12] + m[4 * i + 1] * m[13] + m[4 * i + 2] * m[14]);
  return world;
}

// Pixel position of a world point under the view's camera and frustum.
inline QPointF project(const RobotWidget& view, const PrVector3& p) {
  const PrVector3 e = eyeCoordinates(view, p);
  double w = 0, h = 0;
  pumagl::frustumSize(double(view.width()) / view.height(), w, h);
  const double n = pumagl::kNearPlane;
  const double xn = n * e[0] / -e[2] / (w / 2), yn = n * e[1] / -e[2] / (h / 2);
  return QPointF((xn + 1) / 2 * (view.width() - 1), (1 - yn) / 2 * (view.height() - 1));
}

// The world length one pixel spans at distance `depth` in front of the camera.
inline double pixelPitch(const RobotWidget& view, double depth) {
  double w = 0, h = 0;
  pumagl::frustumSize(double(view.width()) / view.height(), w, h);
  return w * depth / pumagl::kNearPlane / (view.width() - 1);
}

// Pixels of `area` that show something other than the background.
inline int drawnPixels(const QImage& image, const QRect& area) {
  int drawn = 0;
  for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), image.height() - 1); ++y)
    for (int x = std::max(area.left(), 0); x <= std::min(area.right(), image.width() - 1); ++x) {
      const QRgb c = image.pixel(x, y);
      const int d = std::abs(qRed(c) - int(255 * scene::kBackground[0] + 0.5f)) +
                    std::abs(qGreen(c) - int(255 * scene::kBackground[1] + 0.5f)) +
                    std::abs(qBlue(c) - int(255 * scene::kBackground[2] + 0.5f));
      if (d > 6) ++drawn;
    }
  return drawn;
}

inline void sendMouse(RobotWidget& view, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, at, view.mapToGlobal(at.toPoint()),
                    type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
  QApplication::sendEvent(&view, &event);
}

inline Obstacle sphere(int id, float x, float y, float z, float radius) {
  Obstacle s;
  s.id = id;
  s.center = PrVector3(x, y, z);
  s.radius = radius;
  return s;
}

inline bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }
