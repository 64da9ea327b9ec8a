#include <winsock.h>

#include <gtest/gtest.h>

#include "service/platform/net.h"

namespace platform {
namespace {

class SocketsOnWindows : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(NetStartup(), 0); }
  void TearDown() override { NetCleanup(); }
};

TEST_F(SocketsOnWindows, APairCarriesBytesUntilOneEndCloses) {
  Socket a, b;
  ASSERT_TRUE(SocketPair(&a, &b));
  EXPECT_EQ(WaitReadable(b, 0), WaitResult::kTimeout);
  EXPECT_EQ(SendSome(a, "abc", 3), 3);
  EXPECT_EQ(WaitReadable(b, -1), WaitResult::kReady);
  char buf[8] = {};
  EXPECT_EQ(ReceiveSome(b, buf, sizeof buf), 3);
  EXPECT_EQ(std::string(buf, 3), "abc");
  a.Close();
  EXPECT_EQ(WaitReadable(b, -1), WaitResult::kReady);
  EXPECT_EQ(ReceiveSome(b, buf, sizeof buf), 0);
}

TEST_F(SocketsOnWindows, AWakeEventEndsWaitsAndStaysSignalled) {
  int stage = -1;
  Socket listener = OpenListener(0, 5, &stage);
  ASSERT_TRUE(listener.Valid());
  WakeEvent wake;
  ASSERT_TRUE(wake.Valid());
  EXPECT_EQ(WaitReadableOrWake(listener, wake, 0), WaitResult::kTimeout);
  wake.Signal();
  EXPECT_EQ(WaitReadableOrWake(listener, wake, -1), WaitResult::kWoken);
  wake.Signal();
  EXPECT_EQ(WaitReadableOrWake(listener, wake, -1), WaitResult::kWoken);
}

TEST_F(SocketsOnWindows, ListenerAcceptsAndRefusals) {
  int stage = -1;
  Socket listener = OpenListener(0, 5, &stage);
  ASSERT_TRUE(listener.Valid());
  EXPECT_EQ(stage, 0);
  int port = LocalPort(listener);
  ASSERT_GT(port, 0);
  Socket client = Connect("127.0.0.1", static_cast<uint16_t>(port));
  ASSERT_TRUE(client.Valid());
  EXPECT_EQ(WaitReadable(listener, -1), WaitResult::kReady);
  uint8_t peer[4] = {};
  Socket accepted = Accept(listener, peer);
  ASSERT_TRUE(accepted.Valid());
  EXPECT_EQ(std::vector<int>(peer, peer + 4), (std::vector<int>{127, 0, 0, 1}));
  // Sockets stay out of the programs the service starts.
  DWORD flags = 0;
  ASSERT_TRUE(::GetHandleInformation(reinterpret_cast<HANDLE>(accepted.Native()), &flags));
  EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);

  std::optional<std::string> name = ReverseLookup(peer);
  if (name) {
    EXPECT_FALSE(name->empty());
  }

  // Nobody listens once the listener has gone.
  listener.Close();
  EXPECT_FALSE(Connect("127.0.0.1", static_cast<uint16_t>(port)).Valid());
  EXPECT_EQ(LastSocketError(), WSAECONNREFUSED);
  EXPECT_EQ(WaitReadable(listener, 0), WaitResult::kError);
  EXPECT_EQ(LastSocketError(), WSAENOTSOCK);
}

}  // namespace
}  // namespace platform
