#include "service/gamedata/upload.h"

#include "service/protocol/framing.h"

namespace gamedata {

UploadEnd ReceiveUploadData(const platform::Socket& s, size_t capacity,
                            const std::function<void(const std::string& packet)>& take) {
  using protocol::Received;
  std::string packet;
  for (size_t timeouts = 0; timeouts < wire::kUploadPasses;) {
    Received received = protocol::ReceivePacket(s, packet, capacity);
    protocol::PauseAfterSend();
    if (received == Received::kPacket && packet.find(wire::kEndMarker) != std::string::npos) {
      return UploadEnd::kComplete;
    }
    if (received == Received::kPacket) {
      take(packet);
      protocol::SendFormatted(s, "%ld", static_cast<long>(packet.size()));
    } else if (received == Received::kIdle) {
      ++timeouts;
    } else if (received != Received::kTooLong) {
      return UploadEnd::kBroken;
    }
  }
  return UploadEnd::kTimedOut;
}

}  // namespace gamedata
