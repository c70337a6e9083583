#include "gui/RobotViewFrame.h"

#include <QVBoxLayout>

#include "gui/RobotWidget.h"

RobotViewFrame::RobotViewFrame(QWidget* parent, int refreshMs)
    : QWidget(parent), m_view(new RobotWidget(nullptr, refreshMs)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  QWidget* container = QWidget::createWindowContainer(m_view, this);
  container->setObjectName("robotWidgetContainer");
  // Clicks in the view leave the keyboard focus where it was.
  container->setFocusPolicy(Qt::NoFocus);
  container->setMinimumSize(100, 100);
  layout->addWidget(container);
}
