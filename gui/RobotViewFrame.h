// RobotViewFrame: the place of the 3D view in a form. It holds the view's
// window (RobotWidget) as a native child window that fills the frame.
#pragma once

#include <QWidget>

class RobotWidget;

class RobotViewFrame : public QWidget {
  Q_OBJECT

 public:
  explicit RobotViewFrame(QWidget* parent = nullptr, int refreshMs = 0);

  RobotWidget* view() const { return m_view; }

 private:
  RobotWidget* m_view;  // owned by its window container, a child of this frame
};
