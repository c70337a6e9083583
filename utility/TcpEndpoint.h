// TCP set-up for the link between a servo and a user interface in another
// process: address parsing, a listening socket and an outgoing connection.
//
// Addresses are "HOST:PORT" (an IPv4 address or a host name). Failures return
// -1 with a one-line reason in *error; nothing here ends the process.
#pragma once

#include <string>

struct TcpAddress {
  std::string host;
  int port = 0;
};

// Parses "HOST:PORT" (port 0 to 65535; 0 asks the system for a free port when
// listening). False with a reason in *error when text is malformed.
bool parseTcpAddress(const std::string& text, TcpAddress* address, std::string* error);

// A listening socket bound to address (backlog of a few connections).
int listenTcp(const TcpAddress& address, std::string* error);
// The port a bound socket actually got (for port 0), or -1.
int boundPort(int socket);
// A connected socket, or -1. Gives up after timeoutMs.
int connectTcp(const TcpAddress& address, int timeoutMs, std::string* error);
// Whether the peer has closed its end and nothing is left to read.
bool peerClosed(int socket);
// Whether the peer has closed or reset its end, read or unread data aside:
// anything sent now would fail with a broken pipe.
bool peerHungUp(int socket);
