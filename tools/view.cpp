// korvex-view: the 3D view and the transform dialog on their own, for trying
// them without the servo. Commands the view sends are printed, not run.
//
//   korvex-view [--screenshot FILE]   FILE: save one frame as PNG and exit
#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "gui/RobotViewFrame.h"
#include "gui/RobotWidget.h"
#include "gui/TransformDialog.h"
#include "utility/CommandDispatcher.h"

namespace {

class PrintingConsole : public CommandDispatcher {
 public:
  bool processCommand(const char* commandStr, char*) override {
    std::printf("%s\n", commandStr);
    std::fflush(stdout);
    return true;
  }
};

// An obstacle, a virtual line and a bent arm, so every drag can be tried.
void demoScene(RobotWidget& view) {
  view.switchRobotType(3);
  PrVector q(6);
  q[1] = -30;
  q[2] = 40;
  q[4] = 30;
  view.setJointPositions(q);
  Obstacle sphere;
  sphere.id = 1;
  sphere.center = PrVector3(0.4f, -0.5f, 0.3f);
  sphere.radius = 0.1f;
  view.setSphere(sphere);
  VirtualLine line;
  line.enabled = 1;
  line.p1 = PrVector3(-0.5f, -0.6f, -0.2f);
  line.p2 = PrVector3(-0.5f, -0.6f, 0.4f);
  line.closest = PrVector3(-0.5f, -0.6f, 0.0f);
  line.direction = PrVector3(0, 0, 1);
  view.setLine(line);
}

}  // namespace

int main(int argc, char** argv) {
  const char* screenshot = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = argv[++i];
    } else {
      std::fprintf(stderr, "Usage: korvex-view [--screenshot FILE]\n");
      return 2;
    }
  }
  QApplication app(argc, argv);
  PrintingConsole console;
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* frame = new RobotViewFrame(&window, 50);
  frame->setMinimumSize(640, 480);
  layout->addWidget(frame, 1);
  RobotWidget* view = frame->view();
  view->setConsole(&console);
  auto* transformButton = new QPushButton("Transform...", &window);
  layout->addWidget(transformButton);
  QObject::connect(transformButton, &QPushButton::clicked, [&window] {
    TransformDialog dialog(&window);
    if (dialog.exec() != QDialog::Accepted) return;
    const PrTransform chosen = dialog.transform();
    std::printf("frame: q = (%g, %g, %g, %g), t = (%g, %g, %g)\n", double(chosen.rotation.w),
                double(chosen.rotation.v[0]), double(chosen.rotation.v[1]), double(chosen.rotation.v[2]),
                double(chosen.translation[0]), double(chosen.translation[1]), double(chosen.translation[2]));
  });
  window.show();
  demoScene(*view);
  if (screenshot) {
    // The first frame on screen makes the view's context.
    while (view->framesDrawn() == 0) QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!view->snapshot().save(screenshot)) {
      std::fprintf(stderr, "korvex-view: cannot write %s\n", screenshot);
      return 1;
    }
    return 0;
  }
  return app.exec();
}
