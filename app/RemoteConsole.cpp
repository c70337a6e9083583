#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/RemoteModes.h"
#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "servo/Session.h"
#include "utility/MesgQueue.h"
#include "utility/PrSocket.h"
#include "utility/TcpEndpoint.h"

namespace {
constexpr int kConnectTimeoutMs = 5000;
}

int runRemoteConsole(const TcpAddress& address, const std::string& startupScript) {
  std::string error;
  const int s = connectTcp(address, kConnectTimeoutMs, &error);
  if (s < 0) {
    std::fprintf(stderr, "korvex: %s\n", error.c_str());
    return 2;
  }
  const std::string name = address.host + ":" + std::to_string(address.port);
  std::fprintf(stderr, "korvex: connected to the servo at %s\n", name.c_str());
  {
    PrSocket socket(s);
    ServoAgent servo(&socket);
    TextUI console(&servo);
    console.setEndSessionAtEndOfInput(true);
    console.setStartupScript(startupScript);
    console.start();
    while (!sessionEnded) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (!sessionEnded && peerClosed(s)) {
        std::fprintf(stderr, "korvex: the servo at %s closed the connection.\n", name.c_str());
        endSession();
      }
    }
    // "break" sends the servo a quit, which the servo's side takes as the end of this console only.
    console.processCommand("break");
    console.stop();
    console.finishSession();
  }
  MesgQueue::releaseAllCollections();
  std::printf("Exiting.\n");
  std::fflush(stdout);
  return 0;
}
