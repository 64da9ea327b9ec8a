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
  std::string peer;
  Socket accepted = Accept(listener, &peer);
  ASSERT_TRUE(accepted.Valid());
  EXPECT_EQ(peer, "127.0.0.1");
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

TEST_F(SocketsOnWindows, ListenerOnOneAddress) {
  EXPECT_FALSE(IsListenAddress("shard.example.net"));
  int stage = -1;
  EXPECT_FALSE(OpenListener("127.0.0.300", 0, 5, &stage).Valid());
  EXPECT_EQ(stage, 2);
  Socket listener = OpenListener("LocalHost", 0, 5, &stage);
  ASSERT_TRUE(listener.Valid());
  uint16_t port = static_cast<uint16_t>(LocalPort(listener));
  EXPECT_TRUE(Connect("127.0.0.1", port).Valid());
  EXPECT_FALSE(Connect("127.0.0.2", port).Valid());
}

}  // namespace
}  // namespace platform
