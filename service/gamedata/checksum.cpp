#include "service/gamedata/checksum.h"

#include <cstring>
#include <string_view>

#include "service/gamedata/line_reader.h"
#include "service/gamedata/path_guard.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"

namespace gamedata {

namespace {

constexpr size_t kChecksumLineSize = 8192;

int32_t LineSum(std::string_view line) {
  const void* nul = std::memchr(line.data(), 0, line.size());
  if (nul != nullptr) line = line.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - line.data()));
  int32_t sum = 0;
  for (char c : line) sum += c == '\r' ? 0 : static_cast<signed char>(c);
  return sum;
}

}  // namespace

int32_t FileChecksum(const std::string& native_name) {
  LineReader in(native_name, kChecksumLineSize, false);
  // Unsigned arithmetic wraps as the checksum does.
  uint32_t checksum = 0;
  uint32_t number = 0;
  for (std::string_view line; in.Next(&line); ++number) {
    if (number != 0) checksum += static_cast<uint32_t>(LineSum(line)) & number;
  }
  return static_cast<int32_t>(checksum);
}

void SendFileChecksum(const platform::Socket& s, const std::string& name, NameSource src) {
  std::string native = platform::NativePath(name);
  if (src == NameSource::kClient && !MayOpenClientName(name, native, true, false)) {
    protocol::SendPacket(s, "0");
    return;
  }
  protocol::SendFormatted(s, "%ld", static_cast<long>(FileChecksum(native)));
}

}  // namespace gamedata
