#include "artcontrol/clientdata/client_directory.h"

#include "artcontrol/platform/path.h"

namespace tilvo {

namespace {

// The older installers' pair of keys, of which the first that exists decides.
constexpr std::size_t kOlderKeys = 2;

// The directory a place's value gives: a folder as it is, ending in the separator; an executable's folder.
std::string DirectoryOf(const ClientRegistryPlace& place, const std::string& value) {
  if (!place.isFolder) return DirectoryOfExePath(value);
  if (value.empty() || value.back() == platform::kPathSeparator) return value;
  return value + platform::kPathSeparator;
}

}  // namespace

std::string DirectoryOfExePath(std::string_view exePath) {
  // Paths are UTF-8, where no byte of a multi-byte character equals the
  // separator, so a byte search cannot hit the middle of a character.
  const std::size_t last = exePath.rfind(platform::kPathSeparator);
  if (last == std::string_view::npos) return {};
  return std::string(exePath.substr(0, last + 1));
}

std::string ResolveClientDirectory(const RegistryQuery& query) {
  using platform::RegistryRead;
  // The older pair: the first of its keys that exists decides.
  for (std::size_t i = 0; i < kOlderKeys; ++i) {
    const ClientRegistryPlace& place = kClientRegistryPlaces[i];
    std::string value;
    const RegistryRead read = query(place.key, place.value, value);
    if (read == RegistryRead::kNoKey) continue;
    if (read == RegistryRead::kRead && !DirectoryOf(place, value).empty()) return DirectoryOf(place, value);
    break;
  }
  // The current installers' places, each in turn.
  for (std::size_t i = kOlderKeys; i < kClientRegistryPlaces.size(); ++i) {
    const ClientRegistryPlace& place = kClientRegistryPlaces[i];
    std::string value;
    if (query(place.key, place.value, value) == RegistryRead::kRead && !DirectoryOf(place, value).empty()) {
      return DirectoryOf(place, value);
    }
  }
  return {};
}

std::string ResolveClientDirectory() {
  return ResolveClientDirectory([](std::string_view key, std::string_view valueName, std::string& value) {
    return platform::ReadClientRegistryValue(key, valueName, value);
  });
}

}  // namespace tilvo
