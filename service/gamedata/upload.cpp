#include "service/gamedata/upload.h"

#include "service/protocol/framing.h"

namespace gamedata {

UploadStep ReceiveUploadPacket(const platform::Socket& s, std::string& payload, long capacity) {
  long n = protocol::ReceivePacket(s, payload, capacity);
  if (n > 0) {
    if (payload.find(protocol::kEndMarker) != std::string::npos) return UploadStep::kEnd;
    return UploadStep::kData;
  }
  // -1 is a failed wait or receive and -2 a peer that closed before a length:
  // the connection cannot bring anything more, so the passes left need not be
  // waited out. A time-out, an oversized packet or a damaged one keeps going.
  if (n == -1 || n == -2) return UploadStep::kPeerGone;
  payload.clear();
  return UploadStep::kNothing;
}

void Acknowledge(const platform::Socket& s, size_t count) {
  protocol::SendFormatted(s, "%ld", static_cast<long>(count));
}

}  // namespace gamedata
