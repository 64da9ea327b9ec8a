// The data of an upload from the client: acknowledged packets up to the end
// marker.
#pragma once

#include <functional>
#include <string>

#include "service/platform/net.h"
#include "wire/packet.h"

namespace gamedata {

// How an upload ended.
enum class UploadEnd {
  kComplete,  // the end marker came (the other bytes of its packet are dropped)
  kTimedOut,  // the receive time-out was met wire::kUploadPasses times
  kBroken,    // a negative length, or a stream that broke: nothing more can be
              // read, and what follows must never be taken for a command
};

// Receives data packets of at most `capacity` bytes up to the end marker,
// handing each to `take` and then acknowledging it with its byte count in
// decimal. A longer packet is read and dropped without an acknowledgement.
// Only time-outs use up passes; each receive is followed by the transfer
// pause.
UploadEnd ReceiveUploadData(const platform::Socket& s, size_t capacity,
                            const std::function<void(const std::string& packet)>& take);

}  // namespace gamedata
