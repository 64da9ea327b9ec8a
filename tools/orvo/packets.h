// The administration protocol's packets as the client sends and receives them:
// a 4-byte little-endian signed length, then that many payload bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/orvo/platform.h"

namespace orvo {

// The largest payload either side sends.
inline constexpr size_t kMaxPayload = 1024;
// The packet that ends a multi-packet reply or upload: CR LF "." CR LF.
inline constexpr std::string_view kEndMarker = "\r\n.\r\n";
// The packet that ends the spawn list instead: "." CR LF.
inline constexpr std::string_view kSpawnListEnd = ".\r\n";

// The wire form of one packet: the length in four little-endian bytes, then
// the payload.
std::string EncodePacket(std::string_view payload);

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
