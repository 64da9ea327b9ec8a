// Length-prefixed packets (wire/packet.h) on a connection: the only routines
// that touch a connection's data.
#pragma once

#include <string>
#include <string_view>

#include "service/platform/net.h"
#include "wire/packet.h"

namespace protocol {

// Sends one packet. Returns the payload length when all of it went out, 0 for
// a length below 1 (nothing is sent), -1 on failure (logged).
long SendPacket(const platform::Socket& s, const void* data, long length);
inline long SendPacket(const platform::Socket& s, std::string_view text) {
  return SendPacket(s, text.data(), static_cast<long>(text.size()));
}
// Formats a text and sends it as one packet.
long SendFormatted(const platform::Socket& s, const char* format, ...) __attribute__((format(printf, 2, 3)));

// How long ReceivePacket waits for a packet to begin: RECEIVETIMEOUT, or as
// long as the connection lasts (between commands).
enum class Patience { kReceiveTimeout, kConnection };

// Receives one packet of at most `capacity` payload bytes into `payload`.
// Packets of length 0 are skipped and the wait goes on. Returns the payload
// length (at least 1); 0 when no packet began in time; -2 when the peer closed
// before a length arrived; -3 when a packet that had begun (a byte of its
// length or of its payload) did not complete within RECEIVETIMEOUT; -4 when
// the length exceeds the capacity (the payload is read and dropped); a
// negative length prefix as received; another negative value when the wait or
// the receive failed. Every negative result but -4 leaves the stream out of
// step: nothing more can be read from it.
long ReceivePacket(const platform::Socket& s, std::string& payload, size_t capacity,
                   Patience patience = Patience::kReceiveTimeout);

// Pauses after a chunk or reply of a transfer for TRANSFERPAUSE milliseconds;
// by default not at all, as the acknowledgements already pace a transfer.
void PauseAfterSend();

}  // namespace protocol
