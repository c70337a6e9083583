#include "GuiTestEnvironment.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSurfaceFormat>
#include <QThreadPool>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

pid_t g_xvfb = -1;
QApplication* g_app = nullptr;

// Starts Xvfb on a display number it chooses itself (-displayfd), so parallel
// test programs never compete for one; returns the number, or -1.
int startXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const std::string fd = std::to_string(fds[1]);
  const char* argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen",  "0",
                        "1280x1024x24", "-nolisten",  "tcp",      "-noreset", nullptr};
  g_xvfb = fork();
  if (g_xvfb == 0) {
    // The server goes with this program even when a test crashes.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    close(fds[0]);
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) dup2(devNull, STDERR_FILENO);  // Xvfb's start-up chatter
    execvp("Xvfb", const_cast<char**>(argv));
    _exit(127);
  }
  close(fds[1]);
  if (g_xvfb < 0) {
    close(fds[0]);
    return -1;
  }
  // Xvfb writes the display number once it accepts connections; a loaded
  // machine may take a while.
  char text[16] = {};
  size_t got = 0;
  while (got < sizeof text - 1) {
    const ssize_t n = read(fds[0], text + got, sizeof text - 1 - got);
    if (n <= 0) break;
    got += size_t(n);
    if (text[got - 1] == '\n') break;
  }
  close(fds[0]);
  return got > 0 ? std::atoi(text) : -1;
}

void stopXvfb();

// The application must end while its display still exists.
class GuiEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    // Qt's pooled threads are let go first: LeakSanitizer's check at exit
    // can fault on a thread that is ending while it looks.
    QThreadPool::globalInstance()->waitForDone();
    delete g_app;
    g_app = nullptr;
    stopXvfb();
  }
};

[[maybe_unused]] const auto* g_environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

void stopXvfb() {
  if (g_xvfb > 0) {
    kill(g_xvfb, SIGTERM);
    waitpid(g_xvfb, nullptr, 0);
    g_xvfb = -1;
  }
}

}  // namespace

// The display stack (Mesa's software driver, D-Bus, fontconfig, Xlib) keeps
// allocations for the life of the process; those are not this program's leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:swrast_dri.so\nleak:libLLVM\nleak:libGLX_mesa.so\nleak:libdbus-1.so\n"
         "leak:libfontconfig.so\nleak:libX11.so\nleak:libxcb\n";
}

QApplication& guiApplication() {
  if (!g_app) {
    const int display = startXvfb();
    if (display < 0) {
      std::fprintf(stderr, "GUI tests: cannot start Xvfb\n");
      std::abort();
    }
    setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    // Kept loaded to the end, so the sanitizer can name the driver's allocations.
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    g_app = new QApplication(argc, argv);
  }
  return *g_app;
}

bool processUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}
