// One pass of an upload from the client: data packets up to the end marker.
#pragma once

#include <string>

#include "service/platform/net.h"

namespace gamedata {

// The most passes an upload may take before its data is given up.
inline constexpr int kUploadPasses = 3000;

// What one receive of an upload brought.
enum class UploadStep {
  kData,      // a data packet; its bytes are in the payload
  kEnd,       // a packet holding the end marker (its other bytes are dropped)
  kNothing,   // no packet, a refused packet or a broken one: the pass is used up
  kPeerGone,  // the connection is dead: every further pass would be kNothing
};

// Receives one packet of at most `capacity` bytes and says what it was.
UploadStep ReceiveUploadPacket(const platform::Socket& s, std::string& payload, long capacity);

// Sends the acknowledgement of a data packet: its byte count in decimal.
void Acknowledge(const platform::Socket& s, size_t count);

}  // namespace gamedata
