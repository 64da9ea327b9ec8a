#pragma once
// Where the control finds the registry values that record the game client's
// folder. On Windows that is HKEY_LOCAL_MACHINE (a 64-bit module also looks
// in the 32-bit view, where a 32-bit client's installer writes); elsewhere
// files stand in for it (registry_posix.h).

#include <string>
#include <string_view>

namespace tilvo::platform {

// What reading one value of one registry key gave.
enum class RegistryRead {
  kNoKey,    // the key does not exist (the next key may be tried)
  kNoValue,  // the key exists but the value is missing or unreadable
  kRead,     // the value was read
};

// Reads the value valueName of HKEY_LOCAL_MACHINE\keyPath (keyPath written
// with backslashes) into value as a path of this system (UTF-8). A value that
// would not fit the client's 260-byte buffer counts as unreadable (kNoValue).
RegistryRead ReadClientRegistryValue(std::string_view keyPath, std::string_view valueName, std::string& value);

}  // namespace tilvo::platform
