// The two halves of korvex run in separate processes, linked over TCP.
//
// runServoOnly: the servo without console or window, serving one user
// interface at a time through UiRelay on `address` (loopback unless the user
// names a wider address). Prints "korvex: servo listening on HOST:PORT" on
// standard error once the socket is bound (with the port the system chose when
// PORT is 0). Runs until SIGINT/SIGTERM or the servo ends its session.
//
// runRemoteConsole: the console against the servo at `address`, without a
// window (RemoteSession). The session ends as a local one does (quit, end of
// input, signals) or when the servo's side closes the connection.
//
// token: the shared token (empty: none). The servo refuses to listen beyond
// loopback without one; the console presents it first when it has one.
//
// Both return the process's exit status.
#pragma once

#include <string>

struct TcpAddress;

constexpr int kDefaultServoPort = 24560;
constexpr const char kDefaultListenAddress[] = "127.0.0.1";
constexpr int kConnectTimeoutMs = 5000;

int runServoOnly(const TcpAddress& address, const std::string& token);
int runRemoteConsole(const TcpAddress& address, const std::string& startupScript, const std::string& token);
