#include "service/protocol/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "service/host/config.h"
#include "service/tests/log_capture.h"

namespace protocol {
namespace {

std::string Prefix(int32_t length) {
  std::string p;
  wire::AppendLength(&p, length);
  return p;
}

void Write(const platform::Socket& s, const std::string& bytes) {
  ASSERT_EQ(platform::SendSome(s, bytes.data(), bytes.size()), static_cast<long>(bytes.size()));
}

std::string ReadAvailable(const platform::Socket& s) {
  std::string out;
  char buf[4096];
  while (platform::WaitReadable(s, 50) == platform::WaitResult::kReady) {
    long n = platform::ReceiveSome(s, buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

class FramingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(platform::SocketPair(&service_, &peer_)); }
  platform::Socket service_;
  platform::Socket peer_;
};

TEST_F(FramingTest, ReceiveResults) {
  struct Case {
    const char* name;
    std::string wire;     // what the peer sends
    bool close_after;     // the peer closes after sending
    size_t capacity;
    Received want;
    std::string payload;
    const char* logged;   // part of what the log must show, or ""
  };
  const std::string big(1024, 'x');
  const Case cases[] = {
      {"plain packet", Prefix(4) + "QUIT", false, 1024, Received::kPacket, "QUIT", ""},
      {"zero length skipped", Prefix(0) + Prefix(0) + Prefix(3) + "abc", false, 1024, Received::kPacket, "abc", ""},
      {"exactly the capacity", Prefix(1024) + big, false, 1024, Received::kPacket, big, ""},
      {"one byte over", Prefix(1025) + big + "x", false, 1024, Received::kTooLong, "",
       "The packet length (1025) is greater than the buffer length.(1024)"},
      {"negative length", Prefix(-7), false, 1024, Received::kBroken, "", ""},
      {"closed before a length", "", true, 1024, Received::kPeerClosed, "", "recv() returned 0.  iLength = 0"},
      {"closed inside the length", "\x05\x00", true, 1024, Received::kPeerClosed, "", "recv() returned 0"},
      {"closed inside the payload", Prefix(10) + "abc", true, 1024, Received::kStalled, "",
       "Timeout while receiving data from socket"},
      {"silence", "", false, 1024, Received::kIdle, "", "Timeout exceeded while receiving data from socket"},
      {"payload never completes", Prefix(10) + "abc", false, 1024, Received::kStalled, "",
       "Timeout while receiving data"},
      // Once a packet has begun, silence before it completes breaks the stream.
      {"length never completes", "\x05\x00", false, 1024, Received::kStalled, "",
       "Timeout while receiving data from socket"},
      {"refused payload never completes", Prefix(1025) + "abc", false, 1024, Received::kStalled, "",
       "Timeout while receiving data"},
  };
  host::Config().receive_timeout = 50;
  for (const Case& c : cases) {
    SetUp();
    testing_support::LogMark mark;
    if (!c.wire.empty()) Write(peer_, c.wire);
    if (c.close_after) peer_.Close();
    std::string payload;
    EXPECT_EQ(ReceivePacket(service_, payload, c.capacity), c.want) << c.name;
    EXPECT_EQ(payload, c.payload) << c.name;
    if (c.logged[0] != '\0') {
      EXPECT_NE(mark.Added().find(c.logged), std::string::npos) << c.name << mark.Added();
    }
  }
}

TEST_F(FramingTest, PeerClosingMidPayloadFailsAtOnce) {
  // A payload that can never complete must not wait out the patience.
  host::Config().receive_timeout = 60000;
  Write(peer_, Prefix(10) + "abc");
  peer_.Close();
  std::string payload;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReceivePacket(service_, payload, 1024), Received::kStalled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  host::Config().receive_timeout = 300;
}

TEST_F(FramingTest, PacketsArrivingInPiecesAreJoined) {
  struct Case {
    const char* name;
    std::vector<std::string> pieces;  // sent with a pause of `pause_ms` between them
    int pause_ms;
    Patience patience;
    Received want;
  };
  const Case cases[] = {
      {"payload in two pieces", {Prefix(6) + "ab", "cdef"}, 30, Patience::kReceiveTimeout, Received::kPacket},
      {"length in two pieces", {std::string("\x06\x00", 2), std::string("\x00\x00", 2) + "abcdef"}, 30,
       Patience::kReceiveTimeout, Received::kPacket},
      // Between commands the wait is the connection's, padding or not.
      {"padding, then a long pause", {Prefix(0), Prefix(6) + "abcdef"}, 400, Patience::kConnection, Received::kPacket},
      {"padding, then a long pause, timed", {Prefix(0), Prefix(6) + "abcdef"}, 400, Patience::kReceiveTimeout,
       Received::kIdle},
  };
  host::Config().receive_timeout = 150;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    std::thread writer([this, &c] {
      for (size_t i = 0; i < c.pieces.size(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(c.pause_ms));
        Write(peer_, c.pieces[i]);
      }
    });
    std::string payload;
    EXPECT_EQ(ReceivePacket(service_, payload, 1024, c.patience), c.want);
    if (c.want == Received::kPacket) {
      EXPECT_EQ(payload, "abcdef");
    }
    writer.join();
  }
  host::Config().receive_timeout = 300;
}

TEST_F(FramingTest, RefusedPacketDoesNotDesynchroniseTheStream) {
  // An acknowledgement too long for its 5 bytes is refused, and the packet
  // after it is still read whole.
  Write(peer_, Prefix(6) + "123456" + Prefix(4) + "1024");
  std::string payload;
  EXPECT_EQ(ReceivePacket(service_, payload, 5), Received::kTooLong);
  EXPECT_EQ(ReceivePacket(service_, payload, 5), Received::kPacket);
  EXPECT_EQ(payload, "1024");
}

TEST_F(FramingTest, SendPacketWireBytes) {
  EXPECT_EQ(SendPacket(service_, "Login successful. Protocol 1.0\r\n"), 32);
  EXPECT_EQ(ReadAvailable(peer_), std::string("\x20\x00\x00\x00", 4) + "Login successful. Protocol 1.0\r\n");

  EXPECT_EQ(SendPacket(service_, "", 0), 0);
  EXPECT_EQ(SendPacket(service_, "x", -5), 0);
  std::string too_long(1025, 'y');
  EXPECT_EQ(SendPacket(service_, too_long), -1);
  EXPECT_EQ(ReadAvailable(peer_), "");

  EXPECT_EQ(SendFormatted(service_, "%ld", 2593L), 4);
  EXPECT_EQ(ReadAvailable(peer_), Prefix(4) + "2593");
}

TEST_F(FramingTest, SendToClosedPeerFails) {
  peer_.Close();
  testing_support::LogMark mark;
  EXPECT_EQ(SendPacket(service_, "hello"), -1);
  EXPECT_NE(mark.Added().find("Error while sending packet to socket"), std::string::npos);
}

}  // namespace
}  // namespace protocol
