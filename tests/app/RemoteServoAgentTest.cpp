// The remote ServoAgent against a servo that has gone: the console is told
// the request was not sent, and nothing is printed about a broken pipe.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <memory>
#include <string>

#include "app/ServoAgent.h"
#include "utility/PrSocket.h"

namespace {

TEST(RemoteServoAgent, RequestsToAServoThatHungUpFailQuietly) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  PrSocket mine(fds[0]);
  auto servoEnd = std::make_unique<PrSocket>(fds[1]);
  testing::internal::CaptureStderr();
  ServoAgent servo(&mine);
  CMsg request;
  request.setType(UI_Q);
  request.writeInt(2);
  EXPECT_TRUE(servo.send(request)) << "the link is up";

  servoEnd.reset();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(servo.send(request));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "Set up the servo object\n");
}

}  // namespace
