#pragma once
// The Linux stand-ins for the registry that records the client's folder,
// tried in this order:
//   1. the registry file $XDG_CONFIG_HOME/tilvo/registry.ini (default
//      ~/.config/tilvo/registry.ini): one section per key path, named as the
//      key path is written ("[SOFTWARE\Origin Worlds Online\...\1.0]"), whose
//      values ("ExePath", "InstallDir") hold host paths;
//   2. only where that file is absent, the Wine prefix's system.reg
//      ($WINEPREFIX, default ~/.wine), where a key may also sit under
//      Software\Wow6432Node; its Windows path is turned into a host path
//      through the prefix's dosdevices links.

#include <string>
#include <string_view>

#include "artcontrol/platform/registry.h"

namespace tilvo::platform {

// The two Linux sources of the registry; an empty text means "not there".
struct RegistryPlaces {
  std::string registryFile;  // full path of registry.ini
  std::string winePrefix;    // the Wine prefix folder
};

// The places as the environment names them (XDG_CONFIG_HOME, HOME, WINEPREFIX), with their defaults.
RegistryPlaces RegistryPlacesFromEnvironment();

// Reads valueName of HKEY_LOCAL_MACHINE\keyPath from those places as a host
// path into value. A value that would not fit the client's 260-byte buffer,
// or a Windows path whose drive has no dosdevices link, counts as unreadable
// (kNoValue).
RegistryRead ReadClientRegistryValue(const RegistryPlaces& places, std::string_view keyPath,
                                     std::string_view valueName, std::string& value);

}  // namespace tilvo::platform
