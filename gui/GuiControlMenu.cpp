// The window's Control menu: reloading the control plug-in, for the edit,
// build and reload loop of writing one's own laws.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "gui/Gui.h"

void Gui::addControlMenu() {
  QMenu* menu = menuBar()->addMenu("&Control");
  QAction* reload = menu->addAction("&Reload control.dll", QKeySequence("Ctrl+R"), this, &Gui::reloadPlugin);
  reload->setObjectName("reloadAction");
  reload->setToolTip("Load control.dll afresh; the arm and the current mode go on with the new laws");
}

void Gui::reloadPlugin() { sendCommand("reload", "Reloading control.dll; the console shows the outcome"); }
