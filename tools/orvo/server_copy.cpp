#include "tools/orvo/server_copy.h"

#include <algorithm>

#include "tools/orvo/checksum.h"
#include "tools/orvo/edit.h"
#include "wire/commands.h"

namespace orvo {

uint64_t ContentHash(std::string_view bytes, uint64_t hash) {
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

ServerCopy CopyOf(std::string_view fetched) {
  return {ContentHash(fetched), static_cast<long long>(fetched.size()), TextChecksum(fetched)};
}

ServerCopy CopyAfterStore(std::string_view local) {
  std::string sent = WithLfLineEnds(local);
  sent.resize(std::min(sent.size(), sent.find('\x1a')));
  return CopyOf(sent);
}

int CheckServerCopy(Session& s, const std::string& remote, const ServerCopy& base) {
  long long checksum = 0;
  int r = GetChecksum(s, remote, &checksum);
  if (r != kOk) return r;
  if (checksum != base.checksum) return s.Fail(kConflict, "its checksum changed");
  if (base.size > kByteCheckLimit) return kOk;

  uint64_t hash = kContentHashStart;
  long long size = 0, announced = 0;
  bool longer = false;
  r = Fetch(s, std::string(wire::kFetchFile) + remote, [&](std::string_view chunk) {
    size += static_cast<long long>(chunk.size());
    // More bytes than the copy had: changed, and the rest need not come.
    longer = size > base.size;
    if (!longer) hash = ContentHash(chunk, hash);
    return !longer;
  }, &announced);
  if (r == kFailedReply || (r == kLocalFileError && longer)) return s.Fail(kConflict, "it changed or is gone");
  if (r != kOk) return r;
  if (size != base.size || hash != base.hash) return s.Fail(kConflict, "its bytes changed under the same checksum");
  return kOk;
}

}  // namespace orvo
