#include "app/SignalWatcher.h"

#include <pthread.h>
#include <signal.h>

#include "servo/Session.h"

namespace {
// Sent by the destructor to wake the watcher for good.
constexpr int kWatcherStop = SIGUSR2;

sigset_t watchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, kWatcherStop);
  return set;
}
}  // namespace

void blockTerminationSignals() {
  const sigset_t set = watchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SignalWatcher::SignalWatcher() : m_thread(&SignalWatcher::watch, this) {}

SignalWatcher::~SignalWatcher() {
  pthread_kill(m_thread.native_handle(), kWatcherStop);
  m_thread.join();
}

void SignalWatcher::watch() {
  const sigset_t set = watchedSignals();
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0 || signal == kWatcherStop) return;
    endSession();
  }
}
