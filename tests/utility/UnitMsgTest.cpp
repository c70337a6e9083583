#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "matrix/PrVector.h"
#include "utility/msgPayload.h"
#include "utility/unitMsg.h"

namespace {

std::vector<unsigned char> sentBytes(CMsg& msg) {
  const char* bytes = nullptr;
  int length = 0;
  msg.prepareForSending(&bytes, &length);
  return {bytes, bytes + length};
}

CMappedMsg mapped(const std::vector<unsigned char>& bytes) {
  CMappedMsg m;
  m.setFromBytes(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
  return m;
}

TEST(UnitMsgEncoding, ItemsAreBigEndianWithHeaderStamped) {
  CMsg msg;
  msg.setType(UI_GRIPPER);
  msg.writeFloat(1.0f);
  msg.writeInt(1);
  msg.writeString("abc");
  msg.writeBool(true);
  const std::vector<unsigned char> expected = {0x00, 0x11, 0x00, 20,  0x3F, 0x80, 0x00, 0x00, 0x00,
                                               0x00, 0x00, 0x01, 'a', 'b',  'c',  0x00, 0x01};
  EXPECT_EQ(sentBytes(msg), expected);

  // Cross-check against the C library's network byte order.
  CMsg other;
  other.writeInt(-123456789);
  other.writeFloat(-2.5f);
  const auto bytes = sentBytes(other);
  uint32_t word;
  std::memcpy(&word, bytes.data() + 4, 4);
  EXPECT_EQ(static_cast<int32_t>(ntohl(word)), -123456789);
  std::memcpy(&word, bytes.data() + 8, 4);
  const uint32_t host = ntohl(word);
  float f;
  std::memcpy(&f, &host, 4);
  EXPECT_EQ(f, -2.5f);
}

TEST(UnitMsgEncoding, EightByteElementsGoLowWordFirst) {
  CMsg msg;
  const double value = 1.0;  // 0x3FF00000'00000000
  msg.writeElements(&value, 1, 8);
  const auto bytes = sentBytes(msg);
  const std::vector<unsigned char> body(bytes.begin() + 4, bytes.end());
  EXPECT_EQ(body, (std::vector<unsigned char>{0, 0, 0, 0, 0x3F, 0xF0, 0, 0}));

  const uint16_t shorts[2] = {0x1234, 0xABCD};
  CMsg s;
  s.writeElements(shorts, 2, 2);
  const auto sb = sentBytes(s);
  EXPECT_EQ(std::vector<unsigned char>(sb.begin() + 4, sb.end()),
            (std::vector<unsigned char>{0x12, 0x34, 0xAB, 0xCD}));

  auto m = mapped(bytes);
  double back = 0;
  m.readElements(&back, 1, 8);
  EXPECT_EQ(back, 1.0);
}

TEST(UnitMsgEncoding, BodylessMessageClearAndTypePosition) {
  CMsg msg;
  EXPECT_EQ(msg.getType(), -1);
  msg.writeInt(7);
  msg.clear();
  EXPECT_EQ(msg.position(), 4);
  msg.setType(UI_RESET);
  EXPECT_EQ(msg.position(), 4);
  EXPECT_EQ(sentBytes(msg), (std::vector<unsigned char>{0x00, 0x04, 0x00, UI_RESET}));
  // clear() leaves no trace of the earlier body.
  const auto stamped = sentBytes(msg);
  const auto all = mapped(stamped);
  EXPECT_EQ(all.length(), 4);
  CMsg reused;
  reused.writeString("a long string that dirties the buffer");
  reused.clear();
  for (int i = 0; i < 64; ++i) EXPECT_EQ(reused.data()[i], 0) << i;
}

TEST(UnitMsgEncoding, TypeCodesMatchTheTables) {
  EXPECT_EQ(UI_START_GATHER, 15);
  EXPECT_EQ(UI_CONTROL_MODE, 21);
  EXPECT_EQ(UI_QUIT, 24);
  EXPECT_EQ(SERVO_GATHER_DATA, 12);
  EXPECT_EQ(SERVO_TEXT, 13);
  EXPECT_EQ(SERVO_CONFIG, 15);
}

TEST(UnitMsgReading, RoundTripOfEveryItemKind) {
  CMsg msg;
  msg.setType(SERVO_GAINS);
  const float floats[3] = {0.5f, -1e-7f, 3e12f};
  const int ints[2] = {-1, 65536};
  msg.writeInt(42);
  msg.writeFloats(floats, 3);
  msg.writeElements(ints, 2, 4);
  msg.writeBool(false);
  msg.writeString("file.mat");
  const auto bytes = sentBytes(msg);
  auto m = mapped(bytes);
  EXPECT_EQ(m.getType(), SERVO_GAINS);
  EXPECT_EQ(m.readInt(), 42);
  float f[3];
  m.readFloats(f, 3);
  EXPECT_EQ(f[0], 0.5f);
  EXPECT_EQ(f[1], -1e-7f);
  EXPECT_EQ(f[2], 3e12f);
  int i[2];
  m.readInts(i, 2);
  EXPECT_EQ(i[0], -1);
  EXPECT_EQ(i[1], 65536);
  EXPECT_FALSE(m.readBool());
  char name[128];
  EXPECT_TRUE(m.readString(name, sizeof name));
  EXPECT_STREQ(name, "file.mat");
  EXPECT_FALSE(m.truncated());
  EXPECT_EQ(m.position(), m.length());
}

TEST(UnitMsgReading, ReadsPastTheEndYieldZerosAndStayFlagged) {
  // The mapped bytes are followed by foreign data that must never be read.
  std::vector<unsigned char> bytes = {0x00, 0x0A, 0x00, UI_GRIPPER, 0,    0,    0,
                                      5,    0xAA, 0xBB, 0xDE,       0xAD, 0xBE, 0xEF};
  CMappedMsg m;
  m.setFromBytes(reinterpret_cast<const char*>(bytes.data()), 10);
  EXPECT_EQ(m.readInt(), 5);
  EXPECT_FALSE(m.truncated());
  float f[2] = {9, 9};
  m.readFloats(f, 2);  // 2 bytes left: not even one whole element
  EXPECT_EQ(f[0], 0.0f);
  EXPECT_EQ(f[1], 0.0f);
  EXPECT_TRUE(m.truncated());
  EXPECT_EQ(m.readInt(), 0);
  EXPECT_TRUE(m.truncated());
  m.setFromBytes(reinterpret_cast<const char*>(bytes.data()), 10);
  EXPECT_FALSE(m.truncated());
  char raw[8];
  m.readBytes(raw, 8);  // 6 bytes in the message, then zeros
  EXPECT_EQ(raw[3], 5);
  EXPECT_EQ(static_cast<unsigned char>(raw[5]), 0xBB);
  EXPECT_EQ(raw[6], 0);
  EXPECT_EQ(raw[7], 0);
  EXPECT_TRUE(m.truncated());
}

TEST(UnitMsgReading, StringReadsStopAtTheMessageEndAndAlwaysTerminate) {
  // A file name without its NUL, followed by foreign bytes.
  std::vector<unsigned char> bytes = {0x00, 0x07, 0x00, UI_START_GATHER, 'a', 'b', 'c', 'X', 'Y', 0};
  CMappedMsg m;
  m.setFromBytes(reinterpret_cast<const char*>(bytes.data()), 7);
  char name[128];
  std::memset(name, '#', sizeof name);
  EXPECT_FALSE(m.readString(name, sizeof name));
  EXPECT_STREQ(name, "abc");
  EXPECT_TRUE(m.truncated());

  // Too long for the destination: cut, terminated, and the next item still lines up.
  CMsg msg;
  msg.writeString("abcdefgh");
  msg.writeInt(77);
  const auto bytes2 = sentBytes(msg);
  auto n = mapped(bytes2);
  char small[4];
  EXPECT_FALSE(n.readString(small, sizeof small));
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(n.readInt(), 77);
  EXPECT_FALSE(n.truncated());
}

TEST(UnitMsgPayload, GatherRowOfOneSixVector) {
  const float q[6] = {1, 2, 3, 4, 5, 6};
  PrVector v(q, 6);
  const PrVector* list[] = {&v, nullptr};
  CMsg msg;
  msg.writeInt(99);  // stale content must not survive
  writeGatherRow(msg, 0.25f, list);
  auto bytes = sentBytes(msg);
  EXPECT_EQ(bytes.size(), 4u + 4 + 4 + 24);
  auto m = mapped(bytes);
  EXPECT_EQ(m.getType(), SERVO_GATHER_DATA);
  EXPECT_EQ(m.readInt(), 7);
  EXPECT_EQ(m.readFloat(), 0.25f);
  PrVector back(6);
  readVector(m, back);
  EXPECT_EQ(back, v);
  EXPECT_FALSE(m.truncated());
}

// A mapped record has no writers at all, so only the size bound can be violated.
TEST(UnitMsgDeathTest, WritesPastTheMaximumAreFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        CMsg msg;
        char big[MAX_MSG_SIZE] = {};
        msg.writeElements(big, MAX_MSG_SIZE - 4, 1);  // exactly full is fine
        msg.writeBool(true);
      },
      "m_byteCounter <= MAX_MSG_SIZE");
  EXPECT_DEATH(
      {
        CMsg msg;
        msg.writeElements("x", 2000000000, 4);  // the count must not wrap round
      },
      "m_byteCounter <= MAX_MSG_SIZE");
}

}  // namespace
