// Shared pieces of the 3D view tests: a console stand-in that records the
// command lines, a shown view of a fixed size, and world-to-pixel projection.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestEnvironment.h"
#include "gui/RobotWidget.h"
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

// A shown, painted view of the 6-DOF arm with the recording console.
inline std::unique_ptr<RobotWidget> makeView(RecordingConsole& console, int robotType = 3) {
  guiApplication();
  auto view = std::make_unique<RobotWidget>();
  view->setConsole(&console);
  view->resize(kViewWidth, kViewHeight);
  view->show();
  view->switchRobotType(robotType);
  view->grabFramebuffer();  // initialises and paints
  return view;
}

// Pixel position of a world point under the view's camera and frustum.
inline QPointF project(const RobotWidget& view, const PrVector3& p) {
  const float* m = view.eyeFrame();
  float e[3];
  for (int i = 0; i < 3; ++i) e[i] = m[i] * p[0] + m[4 + i] * p[1] + m[8 + i] * p[2] + m[12 + i];
  const double n = 2.0, w = 1.2 * view.width() / view.height(), h = 1.2;
  const double xn = n * e[0] / -e[2] / (w / 2), yn = n * e[1] / -e[2] / (h / 2);
  return QPointF((xn + 1) / 2 * (view.width() - 1), (1 - yn) / 2 * (view.height() - 1));
}

inline void sendMouse(RobotWidget& view, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, at, view.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                    modifiers);
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
