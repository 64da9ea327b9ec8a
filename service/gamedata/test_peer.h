// The client's end of a socket pair, for the tests of the commands: packets
// are queued before the command runs (the service finds them waiting, as if
// the client had answered at once) and read back after it has returned.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "service/platform/net.h"

namespace testing_support {

// The little-endian 32-bit number at `at` (the caller has checked the length).
inline uint32_t ReadLe32(const std::string& bytes, size_t at) {
  uint32_t n = 0;
  for (size_t i = 4; i-- > 0;) n = n << 8 | static_cast<unsigned char>(bytes[at + i]);
  return n;
}

class TestPeer {
 public:
  TestPeer() { EXPECT_TRUE(platform::SocketPair(&service_, &client_)); }

  // The service's end, to hand to the command.
  const platform::Socket& Service() const { return service_; }

  // Queues raw bytes from the client.
  void SendRaw(std::string_view bytes) {
    while (!bytes.empty()) {
      long n = platform::SendSome(client_, bytes.data(), bytes.size());
      ASSERT_GT(n, 0);
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }
  // Queues one packet from the client.
  void Send(std::string_view payload) {
    uint32_t n = static_cast<uint32_t>(payload.size());
    char length[4] = {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                      static_cast<char>(n >> 24)};
    SendRaw(std::string_view(length, 4));
    SendRaw(payload);
  }
  // Queues the end marker of an upload.
  void SendEnd() { Send("\r\n.\r\n"); }
  // The client goes away.
  void Hangup() { client_.Close(); }

  // Every packet the service has sent so far; a stray byte fails the test.
  std::vector<std::string> Received() {
    std::string bytes;
    char buffer[4096];
    while (platform::WaitReadable(client_, 0) == platform::WaitResult::kReady) {
      long n = platform::ReceiveSome(client_, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
    }
    std::vector<std::string> packets;
    size_t at = 0;
    while (at < bytes.size()) {
      if (bytes.size() - at < 4) {
        ADD_FAILURE() << "a packet's length is cut short";
        break;
      }
      uint32_t n = ReadLe32(bytes, at);
      at += 4;
      if (bytes.size() - at < n) {
        ADD_FAILURE() << "a packet's payload is cut short";
        break;
      }
      packets.push_back(bytes.substr(at, n));
      at += n;
    }
    return packets;
  }

 private:
  platform::Socket service_;
  platform::Socket client_;
};

}  // namespace testing_support
