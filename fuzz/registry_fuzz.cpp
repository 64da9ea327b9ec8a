// The Linux registry sources: an arbitrary registry.ini, or an arbitrary Wine
// system.reg, never makes the lookup read out of bounds or return a value too
// long for the client's 260-byte buffer.

#include <cstdint>

#include "artcontrol/clientdata/client_directory.h"
#include "artcontrol/platform/registry_posix.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  if (size < 1) return 0;
  platform::RegistryPlaces places;
  places.winePrefix = fuzz::Folder().string();
  if (data[0] & 1) {
    places.registryFile = fuzz::WriteFile("registry.ini", data + 1, size - 1);
  } else {
    places.registryFile = (fuzz::Folder() / "absent.ini").string();
    fuzz::WriteFile("system.reg", data + 1, size - 1);
  }
  const std::string mulPath =
      ResolveClientDirectory([&](std::string_view key, std::string_view valueName, std::string& value) {
        return platform::ReadClientRegistryValue(places, key, valueName, value);
      });
  if (!mulPath.empty() && mulPath.back() != '/') __builtin_trap();
  if ((data[0] & 1) && mulPath.size() >= 260) __builtin_trap();
  return 0;
}
