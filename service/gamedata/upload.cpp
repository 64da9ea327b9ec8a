#include "service/gamedata/upload.h"

#include "service/protocol/framing.h"

namespace gamedata {

UploadEnd ReceiveUploadData(const platform::Socket& s, size_t capacity,
                            const std::function<void(const std::string& packet)>& take) {
  std::string packet;
  for (size_t timeouts = 0; timeouts < wire::kUploadPasses;) {
    long n = protocol::ReceivePacket(s, packet, capacity);
    protocol::PauseAfterSend();
    if (n > 0 && packet.find(wire::kEndMarker) != std::string::npos) return UploadEnd::kComplete;
    if (n > 0) {
      take(packet);
      protocol::SendFormatted(s, "%ld", n);
    } else if (n == 0) {
      ++timeouts;
    } else if (n != -4) {
      return UploadEnd::kBroken;
    }
  }
  return UploadEnd::kTimedOut;
}

}  // namespace gamedata
