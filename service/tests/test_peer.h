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
#include "wire/packet.h"

namespace testing_support {

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
  void Send(std::string_view payload) { SendRaw(wire::EncodePacket(payload)); }
  // Queues the end marker of an upload.
  void SendEnd() { Send(wire::kEndMarker); }
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
    wire::ByteReader reader(bytes);
    std::string_view payload;
    while (wire::ReadPacket(reader, &payload)) packets.emplace_back(payload);
    if (reader.Remaining() > 0) ADD_FAILURE() << "a packet is cut short";
    return packets;
  }

 private:
  platform::Socket service_;
  platform::Socket client_;
};

}  // namespace testing_support
