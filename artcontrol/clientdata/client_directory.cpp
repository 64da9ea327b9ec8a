#include "artcontrol/clientdata/client_directory.h"

#include "artcontrol/platform/path.h"

namespace tilvo {

std::string DirectoryOfExePath(std::string_view exePath) {
  // Paths are UTF-8, where no byte of a multi-byte character equals the
  // separator, so a byte search cannot hit the middle of a character.
  const std::size_t last = exePath.rfind(platform::kPathSeparator);
  if (last == std::string_view::npos) return {};
  return std::string(exePath.substr(0, last + 1));
}

std::string ResolveClientDirectory(const ExePathQuery& query) {
  for (std::string_view key : kClientRegistryKeys) {
    std::string exePath;
    switch (query(key, exePath)) {
      case platform::RegistryRead::kRead:
        return DirectoryOfExePath(exePath);
      case platform::RegistryRead::kNoValue:
        // The key opened but holds no readable "ExePath": the next key is not tried.
        return {};
      case platform::RegistryRead::kNoKey:
        break;
    }
  }
  return {};
}

std::string ResolveClientDirectory() {
  return ResolveClientDirectory(
      [](std::string_view key, std::string& exePath) { return platform::ReadClientExePath(key, exePath); });
}

}  // namespace tilvo
