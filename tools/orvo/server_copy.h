// What a file of the game server held when an edit or a sync started from it,
// and the check, made before a store replaces that file, that it still holds
// that. The service's checksum misses many changes (any change to the first
// line, for one), so a file of up to 8 MB is fetched again and compared byte
// for byte; above that the checksum alone decides.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/orvo/client.h"

namespace orvo {

// Files larger than this are compared by the service's checksum only.
inline constexpr long long kByteCheckLimit = 8 * 1024 * 1024;

// The starting value of ContentHash.
inline constexpr uint64_t kContentHashStart = 0xcbf29ce484222325ull;

// A 64-bit FNV-1a hash of `bytes`, continuing from `hash` (so that a file can
// be hashed chunk by chunk).
uint64_t ContentHash(std::string_view bytes, uint64_t hash = kContentHashStart);

struct ServerCopy {
  uint64_t hash = kContentHashStart;  // ContentHash of the bytes the service sends of it
  long long size = 0;                 // how many bytes that is
  int32_t checksum = 0;               // the service's checksum of it
};

// The copy that these bytes, as the service sent them, describe.
ServerCopy CopyOf(std::string_view fetched);

// What the service holds, and sends back, after orvo has stored the local
// bytes `local`: orvo sends them with LF line ends (WithLfLineEnds), the
// service writes each LF as CR LF, and it reads its files back up to the
// first Ctrl-Z.
ServerCopy CopyAfterStore(std::string_view local);

// Whether the server's `remote` still holds `base`. kOk when it does: the
// checksums agree and, up to kByteCheckLimit, the bytes too; kConflict when it
// changed (also when it is gone); otherwise the failure of the exchange. The
// session stays in step after kConflict.
int CheckServerCopy(Session& s, const std::string& remote, const ServerCopy& base);

}  // namespace orvo
