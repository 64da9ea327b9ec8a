// Length-prefixed packets: a 4-byte little-endian signed length, then that
// many payload bytes. The only routines that touch a connection's data.
#pragma once

#include <string>
#include <string_view>

#include "service/platform/net.h"

namespace protocol {

// The largest payload the service ever sends.
inline constexpr long kMaxPayload = 1024;

// The end marker of multi-packet replies and uploads: CR LF "." CR LF.
inline constexpr std::string_view kEndMarker = "\r\n.\r\n";

// Sends one packet. Returns the payload length when all of it went out, 0 for
// a length below 1 (nothing is sent), -1 on failure (logged).
long SendPacket(const platform::Socket& s, const void* data, long length);
inline long SendPacket(const platform::Socket& s, std::string_view text) {
  return SendPacket(s, text.data(), static_cast<long>(text.size()));
}
// Formats a text and sends it as one packet.
long SendFormatted(const platform::Socket& s, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Receives one packet of at most `capacity` payload bytes into `payload`.
// Returns the payload length (at least 1); 0 when no packet began within the
// receive time-out; -2 when the peer closed before a length arrived; -3 when
// the payload did not complete; -4 when the length exceeds the capacity; a
// negative length prefix as received; another negative value when the wait or
// the receive failed.
long ReceivePacket(const platform::Socket& s, std::string& payload, long capacity);

// Pauses between chunks and after replies, as the transfers require.
void PauseAfterSend();

}  // namespace protocol
