#include "config_text.h"

#include <string>

namespace kitsetup {
namespace {

constexpr std::string_view kMarker = "# Set by the installer: the game server's folder and the service.\r\n";
constexpr std::string_view kGamePathKey = "GYRIONPATH ";
constexpr std::string_view kServiceLine = "NTSERVICE\r\n";

}  // namespace

std::optional<std::string> WithoutInstallerBlock(std::string_view text) {
  const std::size_t marker = text.rfind(kMarker);
  if (marker == std::string_view::npos || (marker > 0 && text[marker - 1] != '\n')) return std::nullopt;
  std::string_view block = text.substr(marker + kMarker.size());
  if (!block.starts_with(kGamePathKey)) return std::nullopt;
  const std::size_t end = block.find("\r\n");
  if (end == std::string_view::npos || block.substr(end + 2) != kServiceLine) return std::nullopt;
  return std::string(text.substr(0, marker));
}

std::string WithGamePath(std::string_view text, std::string_view game_path) {
  std::string out = WithoutInstallerBlock(text).value_or(std::string(text));
  if (!out.empty() && out.back() != '\n') out += "\r\n";
  out += kMarker;
  out += kGamePathKey;
  out += game_path;
  out += "\r\n";
  out += kServiceLine;
  return out;
}

bool AsInstalled(std::string_view text, std::string_view example) {
  if (text == example) return true;
  const std::optional<std::string> rest = WithoutInstallerBlock(text);
  return rest &&
         (*rest == example || (!example.empty() && example.back() != '\n' && *rest == std::string(example) + "\r\n"));
}

bool TurnsServiceOn(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (text.substr(at).starts_with("NTSERVICE")) return true;
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return false;
}

}  // namespace kitsetup
