// Address parsing and the connection helpers of the servo link.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "utility/TcpEndpoint.h"

TEST(TcpEndpoint, ParsesHostAndPortAndRefusesTheRest) {
  TcpAddress address;
  std::string error;
  ASSERT_TRUE(parseTcpAddress("127.0.0.1:0", &address, &error)) << error;
  EXPECT_EQ(address.host, "127.0.0.1");
  EXPECT_EQ(address.port, 0);
  ASSERT_TRUE(parseTcpAddress("lab-pc.example:65535", &address, &error)) << error;
  EXPECT_EQ(address.host, "lab-pc.example");
  EXPECT_EQ(address.port, 65535);
  for (const char* bad :
       {"", "host", "host:", ":80", "host:65536", "host:-1", "host:+5", "host:8o", "host: 80"}) {
    error.clear();
    EXPECT_FALSE(parseTcpAddress(bad, &address, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(TcpEndpoint, ListensOnAFreePortConnectsAndSeesTheClose) {
  std::string error;
  const int listening = listenTcp(TcpAddress{"127.0.0.1", 0}, &error);
  ASSERT_GE(listening, 0) << error;
  const int port = boundPort(listening);
  ASSERT_GT(port, 0);
  const int client = connectTcp(TcpAddress{"127.0.0.1", port}, 2000, &error);
  ASSERT_GE(client, 0) << error;
  const int server = ::accept(listening, nullptr, nullptr);
  ASSERT_GE(server, 0);
  EXPECT_FALSE(peerClosed(client));
  ::close(server);
  EXPECT_TRUE(peerClosed(client));
  ::close(client);

  // The port is taken while listening, and nobody answers on it once closed.
  EXPECT_LT(listenTcp(TcpAddress{"127.0.0.1", port}, &error), 0);
  EXPECT_NE(error.find("cannot listen"), std::string::npos) << error;
  ::close(listening);
  EXPECT_LT(connectTcp(TcpAddress{"127.0.0.1", port}, 2000, &error), 0);
  EXPECT_NE(error.find("cannot connect"), std::string::npos) << error;
}
