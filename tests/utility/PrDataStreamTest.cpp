#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <memory>
#include <string>
#include <vector>

#include "utility/PrDataInput.h"
#include "utility/PrDataOutput.h"
#include "utility/PrSocket.h"

namespace {

// Two connected ends: the streams on `near`, raw bytes from `far`.
class PrDataStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    near = std::make_unique<PrSocket>(fds[0]);
    far = std::make_unique<PrSocket>(fds[1]);
    input = std::make_unique<PrDataInput>(near.get(), MAX_MSG_SIZE - 4);
  }

  void sendRaw(const std::vector<unsigned char>& bytes) {
    ASSERT_EQ(send(far->descriptor(), bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
  }

  static std::vector<unsigned char> encoded(CMsg& msg) {
    const char* bytes;
    int length;
    msg.prepareForSending(&bytes, &length);
    return {bytes, bytes + length};
  }

  std::unique_ptr<PrSocket> near, far;
  std::unique_ptr<PrDataInput> input;
};

TEST_F(PrDataStreamTest, MessagesCrossTheSocketWholeAndInOrder) {
  PrDataOutput output(far.get(), MAX_MSG_SIZE - 4);
  EXPECT_EQ(input->ready(), -1);
  CMsg msg;
  for (int i = 0; i < 3; ++i) {
    msg.clear();
    msg.setType(SERVO_Q);
    msg.writeInt(i);
    msg.writeString("joint");
    EXPECT_EQ(output.write(msg), 14);
  }
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(input->ready(), 14);
    EXPECT_EQ(input->ready(), 14) << "a held message is not replaced before it is read";
    CMappedMsg m = input->read();
    EXPECT_EQ(m.getType(), SERVO_Q);
    EXPECT_EQ(m.readInt(), i);
    char text[16];
    EXPECT_TRUE(m.readString(text, sizeof text));
    EXPECT_STREQ(text, "joint");
  }
  EXPECT_EQ(input->ready(), -1);
}

TEST_F(PrDataStreamTest, LargestMessageFitsTheBuffer) {
  PrDataOutput output(far.get(), MAX_MSG_SIZE - 4);
  CMsg msg;
  msg.setType(SERVO_MSI);
  std::vector<float> values((MAX_MSG_SIZE - 4) / 4);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<float>(i) * 0.5f;
  msg.writeFloats(values.data(), static_cast<int>(values.size()));
  ASSERT_EQ(output.write(msg), MAX_MSG_SIZE);
  ASSERT_EQ(input->ready(), MAX_MSG_SIZE);
  CMappedMsg m = input->read();
  std::vector<float> back(values.size());
  m.readFloats(back.data(), static_cast<int>(back.size()));
  EXPECT_EQ(back, values);
  EXPECT_FALSE(m.truncated());
}

TEST_F(PrDataStreamTest, MessageInTwoHalvesIsReadyOnlyWhenComplete) {
  CMsg msg;
  msg.setType(UI_CONTROL_MODE);
  msg.writeInt(3);
  msg.writeFloat(1.5f);
  const auto bytes = encoded(msg);
  sendRaw({bytes.begin(), bytes.begin() + 1});  // not even the length yet
  EXPECT_EQ(input->ready(), -1);
  sendRaw({bytes.begin() + 1, bytes.begin() + 6});
  EXPECT_EQ(input->ready(), -1);
  sendRaw({bytes.begin() + 6, bytes.end()});
  ASSERT_EQ(input->ready(), 12);
  CMappedMsg m = input->read();
  EXPECT_EQ(m.readInt(), 3);
  EXPECT_EQ(m.readFloat(), 1.5f);
}

TEST_F(PrDataStreamTest, PeerClosingMidMessageFailsTheStream) {
  CMsg msg;
  msg.setType(UI_GRIPPER);
  msg.writeInt(1);
  const auto bytes = encoded(msg);
  sendRaw({bytes.begin(), bytes.begin() + 5});
  EXPECT_EQ(input->ready(), -1);
  far->close();
  testing::internal::CaptureStderr();
  EXPECT_EQ(input->ready(), -2);
  EXPECT_EQ(input->ready(), -2);
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("closed the connection in the middle of a message"), std::string::npos);
  EXPECT_EQ(report.find("PrDataInput", 1), std::string::npos) << "reported once: " << report;
  EXPECT_TRUE(input->failed());
}

TEST_F(PrDataStreamTest, LengthFieldOutsideTheValidRangeIsAProtocolError) {
  for (const int length : {2, MAX_MSG_SIZE + 1}) {
    SetUp();
    std::vector<unsigned char> bytes(64, 0x41);
    bytes[0] = static_cast<unsigned char>(length >> 8);
    bytes[1] = static_cast<unsigned char>(length);
    sendRaw(bytes);
    testing::internal::CaptureStderr();
    EXPECT_EQ(input->ready(), -2);
    sendRaw(bytes);  // later bytes are dropped too, without more reports
    EXPECT_EQ(input->ready(), -2);
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("protocol error, message length " + std::to_string(length)), std::string::npos);
    EXPECT_EQ(report.find("PrDataInput", 1), std::string::npos) << report;
    int pending = -1;
    ASSERT_EQ(ioctl(near->descriptor(), FIONREAD, &pending), 0);
    EXPECT_EQ(pending, 0);
  }
}

TEST_F(PrDataStreamTest, SendingToAClosedPeerIsReportedOnceNotASignal) {
  PrDataOutput output(near.get(), MAX_MSG_SIZE - 4);
  far->close();
  CMsg msg;
  msg.setType(SERVO_TEXT);
  msg.writeString("hello");
  testing::internal::CaptureStderr();
  EXPECT_EQ(output.write(msg), -1);
  EXPECT_EQ(output.write(msg), -1);
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("PrDataOutput: send() error"), std::string::npos);
  EXPECT_EQ(report.find("PrDataOutput", 1), std::string::npos);
}

}  // namespace
