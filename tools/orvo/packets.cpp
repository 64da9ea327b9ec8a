#include "tools/orvo/packets.h"

#include <cstdint>

#include "tools/orvo/results.h"

namespace orvo {

namespace {

int FromIo(long io) {
  if (io == platform::kIoTimeout) return kTimedOut;
  return io == platform::kIoInterrupted ? kInterrupted : kConnectionLost;
}

// Reads exactly `len` bytes into `out`; kOk or the failure as a result.
int ReceiveExactly(const platform::Connection& c, char* out, size_t len, int timeout_ms) {
  size_t got = 0;
  while (got < len) {
    long n = platform::ReceiveSome(c, out + got, len - got, timeout_ms);
    if (n <= 0) return FromIo(n);
    got += static_cast<size_t>(n);
  }
  return kOk;
}

}  // namespace

int SendPacket(const platform::Connection& c, std::string_view payload, int timeout_ms) {
  if (payload.empty() || payload.size() > kMaxPayload) return kInvalidInput;
  std::string packet = EncodePacket(payload);
  long r = platform::SendAll(c, packet.data(), packet.size(), timeout_ms);
  return r == 0 ? kOk : FromIo(r);
}

int ReceivePacket(const platform::Connection& c, std::string* payload, size_t capacity,
                  int timeout_ms) {
  for (;;) {
    char prefix[wire::kLengthSize];
    int r = ReceiveExactly(c, prefix, sizeof prefix, timeout_ms);
    if (r != kOk) return r;
    wire::ByteReader reader(std::string_view(prefix, sizeof prefix));
    int32_t length = 0;
    wire::ReadLength(reader, &length);
    // A zero length is padding between packets: the wait goes on.
    if (length == 0) continue;
    if (length < 0 || static_cast<size_t>(length) > capacity) return kProtocolError;
    payload->assign(static_cast<size_t>(length), '\0');
    r = ReceiveExactly(c, payload->data(), payload->size(), timeout_ms);
    if (r != kOk) return r;
    return length;
  }
}

std::vector<std::string_view> PlanChunks(std::string_view data, size_t max_chunk) {
  std::vector<std::string_view> chunks;
  while (!data.empty()) {
    std::string_view chunk = data.substr(0, max_chunk);
    size_t marker = chunk.find(kEndMarker);
    if (marker != std::string_view::npos) chunk = chunk.substr(0, marker + kEndMarker.size() - 1);
    chunks.push_back(chunk);
    data.remove_prefix(chunk.size());
  }
  return chunks;
}

}  // namespace orvo
