#include <string>

#include "app/Application.h"
#include "app/RemoteModes.h"
#include "app/RemoteSession.h"
#include "utility/TcpEndpoint.h"

int runRemoteConsole(const TcpAddress& address, const std::string& startupScript, const std::string& token) {
  RemoteSession session;
  if (!session.connect(address, kConnectTimeoutMs, token)) return 2;
  session.start(/*endAtEndOfInput=*/true, startupScript);
  Application::waitForSessionEnd();
  session.completeShutdown();
  return 0;
}
