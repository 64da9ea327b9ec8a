#pragma once
// ResolveClientDirectory: where the game client is installed, from the
// registry entries its installers write. The directory (MulPath) ends in the
// separator ("\\" on Windows, "/" elsewhere).

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "artcontrol/platform/registry.h"

namespace tilvo {

// One place under HKEY_LOCAL_MACHINE where an installer records the client.
struct ClientRegistryPlace {
  std::string_view key;
  std::string_view value;
  bool isFolder;  // the value is the client's folder itself, not the path of its executable
};

// The places in the order they are read. The first two are the older
// installers' keys: the first of them that exists decides between them (a key
// without a readable value ends that pair). Where they give no directory the
// current installers' places follow, each read in turn until one gives a
// directory: the 2D client's folder, then the 3D client's folder, then the 3D
// client's executable.
inline constexpr std::array<ClientRegistryPlace, 5> kClientRegistryPlaces = {{
    {"SOFTWARE\\Origin Worlds Online\\Ultima Online\\1.0", "ExePath", false},
    {"SOFTWARE\\Origin Worlds Online\\Ultima Online Third Dawn\\1.0", "ExePath", false},
    {"SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Classic", "InstallDir", true},
    {"SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Enhanced", "InstallDir", true},
    {"SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Enhanced", "ExePath", false},
}};

// Reads one value of one key as a host path; stands in for the registry in tests.
using RegistryQuery =
    std::function<platform::RegistryRead(std::string_view keyPath, std::string_view valueName, std::string& value)>;

// The text of exePath up to and including its last separator, or empty when it has none.
std::string DirectoryOfExePath(std::string_view exePath);

// MulPath from the places of kClientRegistryPlaces, or empty when none gives one.
std::string ResolveClientDirectory(const RegistryQuery& query);

// As above, reading the platform's registry at the places the environment names.
std::string ResolveClientDirectory();

}  // namespace tilvo
