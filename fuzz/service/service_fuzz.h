#pragma once
// What the service's fuzz targets share: the process's folder for the files
// they hand to the service, the working directory moved there for the length
// of one input, packets as the client sends them, and the text a text-mode
// read makes of raw bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "../fuzz_folder.h"
#include "service/platform/net.h"
#include "wire/packet.h"

namespace orvosvr_fuzz {

using kit_fuzz::Folder;

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes `folder` the working directory (the service opens "gyrion.ini" and
// the scripts from there) until it goes out of scope. libFuzzer's own paths
// may be relative: they must find the old one again.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(old_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path old_;
};

// The text a text-mode read gives of `raw`: each CR LF as LF, up to the first
// Ctrl-Z.
inline std::string TextOf(std::string_view raw) {
  std::string text;
  for (size_t i = 0; i < raw.size() && raw[i] != 26; ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text += raw[i];
  }
  return text;
}

// One packet as the client sends it.
inline std::string Packet(std::string_view payload) { return wire::EncodePacket(payload); }

// Sends all of `bytes`; traps when the socket takes no more.
inline void SendAll(const platform::Socket& s, std::string_view bytes) {
  while (!bytes.empty()) {
    long n = platform::SendSome(s, bytes.data(), bytes.size());
    if (n <= 0) __builtin_trap();
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

// Splits the input at a point named by its first two bytes.
struct Split {
  std::string_view first;
  std::string_view second;
};
inline Split SplitInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return {};
  std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::size_t at = (static_cast<std::size_t>(data[0]) | static_cast<std::size_t>(data[1]) << 8) % (rest.size() + 1);
  return {rest.substr(0, at), rest.substr(at)};
}

}  // namespace orvosvr_fuzz
