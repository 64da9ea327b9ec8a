// GFCS: the checksum by which the client tells whether its copy of a file is
// current.
#pragma once

#include <cstdint>
#include <string>

#include "service/gamedata/path_guard.h"
#include "service/platform/net.h"

namespace gamedata {

// The checksum of a text file: over its lines numbered from 0 (as ReadLine
// reads them, 8191 characters at most), the sum of (line sum AND line number),
// where a line sum adds its bytes as signed 8-bit values up to the first zero
// byte, CRs left out. Wraps at 32 bits; 0 when the file cannot be opened.
int32_t FileChecksum(const std::string& native_name);

// GFCS: sends FileChecksum of `name` in decimal; "0" for a client's name that
// is not usable as a file name or leads outside the game server's folders.
void SendFileChecksum(const platform::Socket& s, const std::string& name, NameSource src);

}  // namespace gamedata
