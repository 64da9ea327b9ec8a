// The system's service manager, as far as the service uses it to start the
// game server when the game server runs as a service of its own.
#pragma once

#include <string>

namespace platform {

// The unit name of a service display name, escaped as systemd escapes unit
// names ("Gyrion - x" becomes "Gyrion\x20\x2d\x20x.service").
std::string ServiceUnitName(const std::string& display_name);

// Whether the service manager can be reached.
bool OpenServiceManager();
// Whether the manager knows the unit.
bool OpenServiceUnit(const std::string& unit);
// Asks the manager to start the unit without waiting for it; true on success.
bool StartServiceUnit(const std::string& unit);

}  // namespace platform
