#include "gui/WindowSession.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QScreen>
#include <atomic>
#include <memory>

#include "app/ConsoleSession.h"
#include "gui/Gui.h"
#include "gui/ScopeDock.h"
#include "servo/Session.h"

namespace {
constexpr const char kLayoutFile[] = "config";

// Set on the GUI thread while the event loop may run; read by any thread
// that ends the session.
std::atomic<QApplication*> g_application{nullptr};
// GUI thread only.
QPointer<Gui> g_window;

// The dock layout on the first line, the split between the view and the
// form on the second, the scope's choices on the third, each as Base64
// text; a file that cannot be written is ignored.
void writeLayout(const Gui& window) {
  QFile file(kLayoutFile);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return;
  file.write(window.saveState().toBase64());
  file.write("\n");
  file.write(window.viewSplitState().toBase64());
  file.write("\n");
  file.write(window.scopeDock()->saveSettings().toBase64());
  file.write("\n");
}

// A missing or unreadable file leaves the built-in layout; a file of one line
// (written before the split was kept) restores the docks alone.
void readLayout(Gui& window) {
  QFile file(kLayoutFile);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
  const QList<QByteArray> lines = file.readAll().split('\n');
  if (!lines.empty()) window.restoreState(QByteArray::fromBase64(lines[0].trimmed()));
  if (lines.size() > 1 && !lines[1].trimmed().isEmpty())
    window.restoreViewSplit(QByteArray::fromBase64(lines[1].trimmed()));
  if (lines.size() > 2 && !lines[2].trimmed().isEmpty())
    window.scopeDock()->restoreSettings(QByteArray::fromBase64(lines[2].trimmed()));
}

void endWindowSession(bool /*firstCall*/) {
  // Any thread may end the session; the widgets belong to the GUI thread.
  QApplication* application = g_application.load();
  if (!application) return;
  QMetaObject::invokeMethod(
      application,
      [] {
        if (g_window) {
          writeLayout(*g_window);
          g_window->hide();
        }
        QCoreApplication::quit();
      },
      Qt::QueuedConnection);
}
}  // namespace

void installWindowSessionEndHandler() { setSessionEndHandler(endWindowSession); }

int runWindowSession(ConsoleSession& session, int argc, char** argv) {
  QApplication qtApplication(argc, argv);
  auto window = std::make_unique<Gui>(session.console());
  g_window = window.get();
  window->attachScope(session.scopeRing());
  readLayout(*window);
  // The form's size suits a large screen; a smaller one gets what it has room for.
  if (const QScreen* screen = window->screen()) {
    window->resize(window->size().boundedTo(screen->availableGeometry().size()));
  }
  window->show();
  g_application = &qtApplication;
  // A session that ended before the handler could post its quit has no loop to end.
  if (!sessionEnded) qtApplication.exec();

  // Closing the window ends the session too; endSession is harmless when it is over.
  endSession();
  writeLayout(*window);
  session.beginShutdown();
  g_window = nullptr;
  window.reset();
  session.completeShutdown();
  g_application = nullptr;
  return 0;
}
