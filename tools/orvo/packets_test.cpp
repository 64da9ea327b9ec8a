#include "tools/orvo/packets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/orvo/results.h"

namespace orvo {
namespace {

using std::string_literals::operator""s;

// A connected pair: bytes written on `service` arrive at `client`.
struct Pair {
  platform::Connection client, service;
  Pair() { EXPECT_TRUE(platform::ConnectedPair(&client, &service)); }
  void Write(const std::string& bytes) {
    ASSERT_EQ(platform::SendAll(service, bytes.data(), bytes.size(), 1000), 0);
  }
};

struct ReceiveCase {
  const char* name;
  std::string wire;      // what the service side writes
  bool close_after;      // the service side closes after writing
  size_t capacity;
  int result;
  std::string payload;   // expected when result > 0
};

class ReceivePacketTest : public ::testing::TestWithParam<ReceiveCase> {};

TEST_P(ReceivePacketTest, ReadsOnePacket) {
  const ReceiveCase& c = GetParam();
  Pair pair;
  pair.Write(c.wire);
  if (c.close_after) pair.service.Close();
  std::string payload;
  int r = ReceivePacket(pair.client, &payload, c.capacity, 200);
  EXPECT_EQ(r, c.result);
  if (c.result > 0) {
    EXPECT_EQ(payload, c.payload);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Framing, ReceivePacketTest,
    ::testing::Values(
        ReceiveCase{"Plain", "\x04\0\0\0QUIT"s, false, 1024, 4, "QUIT"},
        ReceiveCase{"ZeroLengthSkipped", "\0\0\0\0\0\0\0\0\x02\0\0\0ok"s, false, 1024, 2, "ok"},
        ReceiveCase{"ExactlyCapacity", "\x05\0\0\0abcde"s, false, 5, 5, "abcde"},
        ReceiveCase{"OneOverCapacity", "\x06\0\0\0abcdef"s, false, 5, kProtocolError, ""},
        ReceiveCase{"NegativeLength", "\xff\xff\xff\xff"s, false, 1024, kProtocolError, ""},
        ReceiveCase{"LengthAbove1024", "\x01\x04\0\0"s + std::string(1025, 'x'), false, 1024, kProtocolError, ""},
        ReceiveCase{"LittleEndianLength", "\x00\x01\0\0"s + std::string(256, 'y'), false, 1024, 256,
                    std::string(256, 'y')},
        ReceiveCase{"ClosedBeforeLength", "", true, 1024, kConnectionLost, ""},
        ReceiveCase{"ClosedInsideLength", "\x04\0"s, true, 1024, kConnectionLost, ""},
        ReceiveCase{"ClosedInsidePayload", "\x04\0\0\0QU"s, true, 1024, kConnectionLost, ""},
        ReceiveCase{"SilentPeer", "", false, 1024, kTimedOut, ""},
        ReceiveCase{"StalledPayload", "\x04\0\0\0Q"s, false, 1024, kTimedOut, ""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SendPacketTest, WritesLengthThenPayload) {
  Pair pair;
  ASSERT_EQ(SendPacket(pair.client, "GITM", 1000), kOk);
  char wire[8] = {};
  ASSERT_EQ(platform::ReceiveSome(pair.service, wire, sizeof wire, 1000), 8);
  EXPECT_EQ(std::string(wire, 8), "\x04\0\0\0GITM"s);
}

TEST(SendPacketTest, RefusesEmptyAndOversizedPayloads) {
  Pair pair;
  EXPECT_EQ(SendPacket(pair.client, "", 1000), kInvalidInput);
  EXPECT_EQ(SendPacket(pair.client, std::string(1025, 'x'), 1000), kInvalidInput);
  EXPECT_EQ(SendPacket(pair.client, std::string(1024, 'x'), 1000), kOk);
}

TEST(SendPacketTest, ReportsAPeerThatHasGone) {
  Pair pair;
  pair.service.Close();
  // Over TCP (the pair on Windows) the system may still take the first
  // packet; the reset it draws fails the next one.
  int r = SendPacket(pair.client, "QUIT", 1000);
  if (r == kOk) r = SendPacket(pair.client, "QUIT", 1000);
  EXPECT_EQ(r, kConnectionLost);
}

TEST(EncodePacketTest, RoundTripsThroughReceive) {
  Pair pair;
  std::string payload = "\r\n.\r\n";
  pair.Write(EncodePacket(payload));
  std::string got;
  EXPECT_EQ(ReceivePacket(pair.client, &got, 1024, 1000), 5);
  EXPECT_EQ(got, payload);
}

struct ChunkCase {
  const char* name;
  std::string data;
  size_t max_chunk;
  std::vector<std::string> chunks;
};

class PlanChunksTest : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(PlanChunksTest, SplitsAsTheServiceNeeds) {
  const ChunkCase& c = GetParam();
  std::vector<std::string_view> planned = PlanChunks(c.data, c.max_chunk);
  std::vector<std::string> got(planned.begin(), planned.end());
  EXPECT_EQ(got, c.chunks);
  std::string joined;
  for (const std::string& chunk : got) {
    EXPECT_LE(chunk.size(), c.max_chunk);
    EXPECT_EQ(chunk.find(kEndMarker), std::string::npos) << "a chunk holds the end marker";
    joined += chunk;
  }
  EXPECT_EQ(joined, c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Uploads, PlanChunksTest,
    ::testing::Values(
        ChunkCase{"Empty", "", 1023, {}},
        ChunkCase{"OneShortChunk", "abc", 1023, {"abc"}},
        ChunkCase{"FullChunksAndRest", std::string(2500, 'a'), 1023,
                  {std::string(1023, 'a'), std::string(1023, 'a'), std::string(454, 'a')}},
        ChunkCase{"ExactMultiple", std::string(2048, 'b'), 1024, {std::string(1024, 'b'), std::string(1024, 'b')}},
        ChunkCase{"EndMarkerInsideDataIsSplit", "a\r\n.\r\nb", 1023, {"a\r\n.\r", "\nb"}},
        ChunkCase{"EndMarkerAsWholeData", "\r\n.\r\n", 1023, {"\r\n.\r", "\n"}},
        ChunkCase{"EndMarkerAcrossALimitStaysSplit", "abc\r\n.\r\n", 5, {"abc\r\n", ".\r\n"}},
        ChunkCase{"TwoMarkersInARow", "\r\n.\r\n.\r\n", 1023, {"\r\n.\r", "\n.\r\n"}},
        ChunkCase{"ZeroBytesTravelAsData", "ab\0cd\xff\x1a"s, 1023, {"ab\0cd\xff\x1a"s}}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvo
