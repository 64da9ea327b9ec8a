#include "monitor/core/telnet_socket.h"

namespace monitor {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  const auto last = text.find_last_not_of(" \t");
  text = text.substr(first, last - first + 1);
  // Five digits hold every port; more would overflow the sum below.
  if (text.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value < 1 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

}  // namespace monitor
