#include <netinet/in.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/Application.h"
#include "app/RemoteModes.h"
#include "app/ServoThread.h"
#include "app/UiAgent.h"
#include "app/UiRelay.h"
#include "utility/MesgQueue.h"
#include "utility/TcpEndpoint.h"

namespace {
bool isLoopback(const std::string& host) { return host == "localhost" || host.rfind("127.", 0) == 0; }
}  // namespace

int runServoOnly(const TcpAddress& address) {
  std::string error;
  const int listening = listenTcp(address, &error);
  if (listening < 0) {
    std::fprintf(stderr, "korvex: %s\n", error.c_str());
    return 2;
  }
  if (!isLoopback(address.host)) {
    std::fprintf(stderr,
                 "korvex: listening beyond this machine (%s): whoever reaches it can drive the arm.\n",
                 address.host.c_str());
  }
  std::fprintf(stderr, "korvex: servo listening on %s:%d\n", address.host.c_str(), boundPort(listening));
  std::fflush(stderr);

  {
    UiAgent agent;
    UiRelay relay(listening);
    // The relay runs first, so it already holds the servo's first configuration for the first peer.
    relay.start();
    std::thread servo([&agent] { servoLoop(agent); });
    Application::waitForSessionEnd();
    servo.join();
    relay.stop();
  }
  MesgQueue::releaseAllCollections();
  std::printf("Exiting.\n");
  std::fflush(stdout);
  return 0;
}
