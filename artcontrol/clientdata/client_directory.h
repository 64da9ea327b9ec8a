#pragma once
// ResolveClientDirectory: where the game client is installed, from its
// registry entry. The directory (MulPath) is the client executable's path up to
// and including its last separator ("\\" on Windows, "/" elsewhere).

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "artcontrol/platform/registry.h"

namespace tilvo {

// The client's two registry keys under HKEY_LOCAL_MACHINE, in the order they are tried.
inline constexpr std::array<std::string_view, 2> kClientRegistryKeys = {
    "SOFTWARE\\Origin Worlds Online\\Ultima Online\\1.0",
    "SOFTWARE\\Origin Worlds Online\\Ultima Online Third Dawn\\1.0",
};

// Reads "ExePath" of one key as a host path; stands in for the registry in tests.
using ExePathQuery = std::function<platform::RegistryRead(std::string_view keyPath, std::string& exePath)>;

// The text of exePath up to and including its last separator, or empty when it has none.
std::string DirectoryOfExePath(std::string_view exePath);

// MulPath from the first key that exists: its "ExePath" directory, or empty
// when that key has no readable value (the second key is then not tried) or
// neither key exists.
std::string ResolveClientDirectory(const ExePathQuery& query);

// As above, reading the platform's registry at the places the environment names.
std::string ResolveClientDirectory();

}  // namespace tilvo
