// The checksum that GFCS answers, computed over local bytes, so that a local
// copy can be compared with the service's file without fetching it.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvo {

// The file's bytes read as text (CR LF is LF, a byte 26 ends the text, bytes
// 0xFF are dropped), split into lines at LF and after 8191 bytes; the sum over
// the lines of (line sum AND line number), where a line sum adds its bytes up
// to its first zero byte as signed 8-bit values, leaving out CR. A file with
// LF line ends and the same file with CR LF line ends have the same checksum.
int32_t TextChecksum(std::string_view bytes);

}  // namespace orvo
