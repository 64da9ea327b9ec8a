// The administration protocol's packets (wire/packet.h) as the client sends
// and receives them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/orvo/platform.h"
#include "wire/packet.h"

namespace orvo {

using wire::EncodePacket;
using wire::kEndMarker;
using wire::kMaxPayload;
using wire::kSpawnListEnd;

// Sends one packet of 1 to kMaxPayload bytes. Returns kOk; kInvalidInput for
// an empty or oversized payload (nothing is sent); kConnectionLost, kTimedOut
// or kInterrupted.
int SendPacket(const platform::Connection& c, std::string_view payload, int timeout_ms);

// Receives one packet of at most `capacity` payload bytes into `payload`,
// skipping packets of length zero. Returns the payload length (at least 1);
// kConnectionLost when the peer closed (also in mid-packet) or the connection
// failed; kTimedOut when no byte came for `timeout_ms`; kInterrupted at an
// interrupt (platform_interrupt.h); kProtocolError for a
// negative length or one above `capacity` (the payload is left unread).
int ReceivePacket(const platform::Connection& c, std::string* payload, size_t capacity,
                  int timeout_ms);

// Splits upload data into packet payloads of at most `max_chunk` bytes, in
// order. The service takes any packet that holds the end marker as the end of
// the upload, so no payload holds the whole end marker: one that occurs in the
// data is split after its fourth byte.
std::vector<std::string_view> PlanChunks(std::string_view data, size_t max_chunk);

}  // namespace orvo
