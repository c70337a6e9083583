// The shared token on the servo's network link: beyond loopback the servo
// refuses to listen without one, and with one only a peer that presents it
// first is served; the others are closed with one line each.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "KorvexRun.h"
#include "ServoProcess.h"
#include "app/SharedToken.h"

namespace {

// Waits until the peer's socket is closed by the servo (true) or timeoutMs passes.
bool closedByServo(const LinkClient& client, int timeoutMs) {
  char buffer[4096];
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(timeoutMs)) {
    const ssize_t n = ::recv(client.descriptor(), buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0) return true;
    if (n < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(SharedToken, ReadAndCompared) {
  std::string token, error;
  EXPECT_TRUE(readTokenFile(writeTempFile("token", "s3cret  \r\n"), &token, &error)) << error;
  EXPECT_EQ(token, "s3cret");
  EXPECT_FALSE(readTokenFile(writeTempFile("empty", "\n"), &token, &error));
  EXPECT_NE(error.find("holds no token"), std::string::npos) << error;
  EXPECT_FALSE(readTokenFile(tempPath("missing"), &token, &error));
  EXPECT_FALSE(readTokenFile(writeTempFile("long", std::string(600, 'x')), &token, &error));

  EXPECT_TRUE(tokensEqual("s3cret", "s3cret"));
  EXPECT_FALSE(tokensEqual("s3cre", "s3cret"));
  EXPECT_FALSE(tokensEqual("s3cretX", "s3cret"));
  EXPECT_FALSE(tokensEqual("", "s3cret"));
  EXPECT_FALSE(tokensEqual("S3cret", "s3cret"));
}

class RemoteToken : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!korvexAvailable(&why)) GTEST_SKIP() << why;
  }
};

TEST_F(RemoteToken, BeyondLoopbackTheServoNeedsAToken) {
  const std::string outPath = tempPath("out"), errPath = tempPath("err");
  const std::string command =
      "./korvex --servo-only --listen 0.0.0.0:0 </dev/null >" + outPath + " 2>" + errPath;
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 2);
  EXPECT_NE(readTextFile(errPath).find("without a shared token"), std::string::npos) << readTextFile(errPath);
  EXPECT_EQ(readTextFile(errPath).find("listening on"), std::string::npos) << "it must not listen at all";

  const std::string empty = writeTempFile("empty-token", "");
  const std::string withEmpty = "./korvex --servo-only --listen 0.0.0.0:0 --token-file " + empty +
                                " </dev/null >" + outPath + " 2>" + errPath;
  EXPECT_EQ(WEXITSTATUS(std::system(withEmpty.c_str())), 2);
  EXPECT_NE(readTextFile(errPath).find("holds no token"), std::string::npos) << readTextFile(errPath);
}

TEST_F(RemoteToken, OnlyAPeerThatPresentsTheTokenIsServed) {
  const std::string tokenFile = writeTempFile("token", "correct horse battery\n");
  ServoProcess servo(tokenFile);
  ASSERT_GT(servo.port(), 0) << servo.err();

  {
    LinkClient none(servo.port());  // speaks the wire format at once, no token
    ASSERT_TRUE(none.connected());
    EXPECT_LT(none.servoTime(), 0);
    EXPECT_TRUE(closedByServo(none, 5000));
  }
  {
    LinkClient wrong(servo.port(), "correct horse battery staple");
    ASSERT_TRUE(wrong.connected());
    EXPECT_LT(wrong.servoTime(), 0);
    EXPECT_TRUE(closedByServo(wrong, 5000));
  }
  {
    LinkClient silent(servo.port(), "");  // sends nothing at all
    ASSERT_TRUE(silent.connected());
    EXPECT_TRUE(closedByServo(silent, 10000));
  }
  ASSERT_TRUE(servo.waitForErr("no token in time", 10000)) << servo.err();
  EXPECT_EQ(occurrences(servo.err(), "korvex: refused the user interface at "), 3) << servo.err();
  // The wire format without a token line never completes one: refused at the deadline.
  EXPECT_EQ(occurrences(servo.err(), "wrong token"), 1) << servo.err();
  EXPECT_EQ(occurrences(servo.err(), "no token in time"), 2) << servo.err();
  EXPECT_EQ(occurrences(servo.err(), "connected from"), 0) << servo.err();

  LinkClient right(servo.port(), "correct horse battery");
  ASSERT_TRUE(right.connected());
  EXPECT_GE(right.servoTime(), 0) << servo.err();
  EXPECT_TRUE(servo.running());
}

TEST_F(RemoteToken, TheConsolePresentsItsTokenFile) {
  const std::string tokenFile = writeTempFile("token", "t0ken\n");
  ServoProcess servo(tokenFile);
  ASSERT_GT(servo.port(), 0) << servo.err();
  const std::string script = writeTempFile("script.txt", "pcmode\nquit\n");
  const ConsoleRun with = runRemoteConsole(servo.address(), script, 30000, tokenFile);
  EXPECT_EQ(with.status, 0) << with.err;
  EXPECT_NE(with.err.find("cmode=1\n"), std::string::npos) << with.err;

  const ConsoleRun without = runRemoteConsole(servo.address(), script, 30000);
  EXPECT_EQ(without.err.find("cmode=1\n"), std::string::npos) << without.err;
  EXPECT_NE(without.err.find("closed the connection"), std::string::npos) << without.err;
  EXPECT_TRUE(servo.running());
}

}  // namespace
