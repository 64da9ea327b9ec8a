// The system's service manager (systemd, driven through systemctl): the
// service's own unit, which install and remove create and delete, and the
// game server's unit, which the service may start.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The unit name of a service display name, escaped as systemd escapes unit
// names ("Gyrion - x" becomes "Gyrion\x20\x2d\x20x.service").
std::string ServiceUnitName(const std::string& display_name);

// Whether the service manager can be reached; false with the last error set.
bool OpenServiceManager();
// Whether the manager knows the unit.
bool OpenServiceUnit(const std::string& unit);
// Asks the manager to start the unit without waiting for it; true on success.
bool StartServiceUnit(const std::string& unit);

// A service as it is installed.
struct ServiceDefinition {
  std::string name;               // service name and description; the unit is ServiceUnitName(name)
  std::string executable;         // started with no arguments
  std::string working_directory;  // the executable's folder
};

// The running executable's full path, to install it as a service; empty,
// with the last error set, when it cannot be read or is longer than `limit`.
std::string ServiceExecutablePath(size_t limit);

// Folder of the system's unit files: $ORVOSVR_UNIT_DIR when it is set (for
// packagers and tests), otherwise "/etc/systemd/system".
std::string UnitFolder();
// The unit file of a service: notify type, restarted on failure, started at
// boot. Empty, with the last error set, when a value holds a character that
// a unit file cannot carry.
std::string UnitFileText(const ServiceDefinition& service);
// Writes the unit file into UnitFolder() (never over an existing one), has
// the manager reload its units and enables the unit. False, with the last
// error set, and then no unit file is left behind.
bool CreateServiceUnit(const ServiceDefinition& service);
// Whether the unit file of `unit` is in UnitFolder(); false with the last error set.
bool FindServiceUnit(const std::string& unit);
// The unit's state, numbered as the service record numbers them (1 stopped,
// 2 start pending, 3 stop pending, 4 running); 0, with the last error set,
// when the manager cannot tell.
uint32_t QueryServiceUnit(const std::string& unit);
// Asks the manager to stop the unit without waiting, when it is starting or
// running. False, with the last error set, when it was not running or the
// request failed.
bool StopServiceUnit(const std::string& unit);
// Disables the unit, deletes its file and has the manager reload its units;
// false with the last error set.
bool DeleteServiceUnit(const std::string& unit);

}  // namespace platform
