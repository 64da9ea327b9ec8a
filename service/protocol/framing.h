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

// What a receive brought. Only kPacket, kIdle and kTooLong leave the stream
// in step; after any other result nothing more can be read from it.
enum class Received {
  kPacket,      // a whole packet: the payload holds its 1 to `capacity` bytes
  kIdle,        // no packet began within the patience
  kPeerClosed,  // the peer closed the connection before a length arrived
  kStalled,     // a packet that had begun (a byte of its length or payload)
                // did not complete within RECEIVETIMEOUT, or the peer closed
                // in the middle of it
  kTooLong,     // the length exceeds the capacity: the payload was read and dropped
  kBroken,      // a negative length, or the wait or the receive failed
};

// Receives one packet of at most `capacity` payload bytes into `payload`
// (empty unless kPacket). Packets of length 0 are skipped and the wait goes
// on. Time-outs, a close before a length, a refused length and a failed
// receive during the payload are logged.
Received ReceivePacket(const platform::Socket& s, std::string& payload, size_t capacity,
                       Patience patience = Patience::kReceiveTimeout);

// Pauses after a chunk or reply of a transfer for TRANSFERPAUSE milliseconds;
// by default not at all, as the acknowledgements already pace a transfer.
void PauseAfterSend();

}  // namespace protocol
