// The window's View menu and the scope dock it shows and hides.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>

#include "gui/Gui.h"
#include "gui/ScopeDock.h"

void Gui::addScopeDock() {
  m_scope = new ScopeDock(this);
  addDockWidget(Qt::BottomDockWidgetArea, m_scope);
  // Shown on request; "config" brings it back where the user left it.
  m_scope->hide();
  QMenu* menu = menuBar()->addMenu("&View");
  QAction* toggle = m_scope->toggleViewAction();
  toggle->setObjectName("scopeAction");
  toggle->setShortcut(QKeySequence("Ctrl+Shift+S"));
  toggle->setToolTip("Show or hide the live scope of the servo's ticks");
  menu->addAction(toggle);
  QAction* png = menu->addAction("Save Scope as &PNG…", m_scope, &ScopeDock::askAndExportPng);
  png->setObjectName("scopePngAction");
  QAction* csv = menu->addAction("Save Scope as &CSV…", m_scope, &ScopeDock::askAndExportCsv);
  csv->setObjectName("scopeCsvAction");
  // A window too low for the form and the docked scope grows to hold both,
  // as far as the screen lets it; squeezed, the form would slide under the
  // 3D view's native window.
  connect(m_scope, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (!visible || m_scope->isFloating()) return;
    int needed = minimumSizeHint().height();
    if (const QScreen* screen = this->screen())
      needed = std::min(needed, screen->availableGeometry().height());
    if (height() < needed) resize(width(), needed);
  });
}

void Gui::attachScope(ScopeRing* ring) { m_scope->attach(ring); }
