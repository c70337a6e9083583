#include <netinet/in.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "app/Application.h"
#include "app/RemoteModes.h"
#include "app/ServoThread.h"
#include "app/SharedToken.h"
#include "app/UiAgent.h"
#include "app/UiRelay.h"
#include "servo/Servo.h"
#include "utility/MesgQueue.h"
#include "utility/TcpEndpoint.h"

int runServoOnly(const TcpAddress& address, const std::string& token) {
  // Whoever reaches the port could drive the arm: beyond this machine only
  // those who hold the shared token may.
  if (!isLoopbackHost(address.host) && token.empty()) {
    std::fprintf(stderr,
                 "korvex: refusing to listen on %s without a shared token: anyone who reaches it could drive "
                 "the arm; give one with --token-file FILE.\n",
                 address.host.c_str());
    return 2;
  }
  std::string error;
  const int listening = listenTcp(address, &error);
  if (listening < 0) {
    std::fprintf(stderr, "korvex: %s\n", error.c_str());
    return 2;
  }
  if (!token.empty()) std::fprintf(stderr, "korvex: user interfaces must present the shared token.\n");
  std::fprintf(stderr, "korvex: servo listening on %s:%d\n", address.host.c_str(), boundPort(listening));
  std::fflush(stderr);

  {
    UiAgent agent;
    // Every tick's values, for a window at the other end (its scope and goal).
    auto scope = std::make_unique<ScopeRing>();
    UiRelay relay(listening, token, scope.get());
    // The relay runs first, so it already holds the servo's first configuration for the first peer.
    relay.start();
    std::thread servo([&agent, ring = scope.get()] {
      servoLoop(agent, [ring](Servo& s) { s.publishScopeSamples(ring); });
    });
    Application::waitForSessionEnd();
    servo.join();
    relay.stop();
  }
  MesgQueue::releaseAllCollections();
  std::printf("Exiting.\n");
  std::fflush(stdout);
  return 0;
}
