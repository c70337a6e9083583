#include "utility/TcpEndpoint.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
bool resolve(const TcpAddress& address, sockaddr_in* out, std::string* error) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int rc = ::getaddrinfo(address.host.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) {
    *error = "cannot resolve host '" + address.host + "': " + ::gai_strerror(rc);
    return false;
  }
  *out = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  out->sin_port = htons(static_cast<uint16_t>(address.port));
  ::freeaddrinfo(found);
  return true;
}

std::string systemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }
}  // namespace

bool parseTcpAddress(const std::string& text, TcpAddress* address, std::string* error) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) {
    *error = "address '" + text + "' is not HOST:PORT";
    return false;
  }
  const std::string port = text.substr(colon + 1);
  long value = 0;
  for (const char c : port) {
    value = c >= '0' && c <= '9' && port.size() <= 5 ? value * 10 + (c - '0') : -1;
    if (value < 0) break;
  }
  if (value < 0 || value > 65535) {
    *error = "port '" + port + "' is not a number from 0 to 65535";
    return false;
  }
  address->host = text.substr(0, colon);
  address->port = static_cast<int>(value);
  return true;
}

int listenTcp(const TcpAddress& address, std::string* error) {
  sockaddr_in where{};
  if (!resolve(address, &where, error)) return -1;
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) {
    *error = systemError("socket");
    return -1;
  }
  const int on = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(s, reinterpret_cast<const sockaddr*>(&where), sizeof where) < 0 || ::listen(s, 4) < 0) {
    *error = systemError(("cannot listen on " + address.host + ":" + std::to_string(address.port)).c_str());
    ::close(s);
    return -1;
  }
  return s;
}

int boundPort(int socket) {
  sockaddr_in where{};
  socklen_t size = sizeof where;
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&where), &size) < 0) return -1;
  return ntohs(where.sin_port);
}

int connectTcp(const TcpAddress& address, int timeoutMs, std::string* error) {
  sockaddr_in where{};
  if (!resolve(address, &where, error)) return -1;
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (s < 0) {
    *error = systemError("socket");
    return -1;
  }
  const std::string name = address.host + ":" + std::to_string(address.port);
  if (::connect(s, reinterpret_cast<const sockaddr*>(&where), sizeof where) < 0) {
    if (errno != EINPROGRESS) {
      *error = systemError(("cannot connect to " + name).c_str());
      ::close(s);
      return -1;
    }
    pollfd p{s, POLLOUT, 0};
    int failure = 0;
    socklen_t size = sizeof failure;
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready <= 0) {
      *error = "cannot connect to " + name + ": no answer";
      ::close(s);
      return -1;
    }
    ::getsockopt(s, SOL_SOCKET, SO_ERROR, &failure, &size);
    if (failure != 0) {
      *error = "cannot connect to " + name + ": " + std::strerror(failure);
      ::close(s);
      return -1;
    }
  }
  // The streams expect a blocking socket; requests are small and go out at once.
  ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) & ~O_NONBLOCK);
  const int on = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return s;
}

bool peerClosed(int socket) {
  pollfd p{socket, POLLIN | POLLRDHUP, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  if ((p.revents & (POLLRDHUP | POLLHUP | POLLERR)) == 0) return false;
  int available = 0;
  return ::ioctl(socket, FIONREAD, &available) < 0 || available == 0;
}

bool peerHungUp(int socket) {
  pollfd p{socket, POLLRDHUP, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}
