// The system's service manager: the service's own entry, which install and
// remove create and delete, and the game server's, which the service may
// start. On Windows the Service Control Manager; on Linux systemd, driven
// through systemctl, where a service's entry is its unit.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The name under which the manager knows the service of a display name: the
// name itself on Windows; under systemd the unit name, escaped as systemd
// escapes unit names ("Gyrion - x" becomes "Gyrion\x20\x2d\x20x.service").
std::string ServiceUnitName(const std::string& display_name);

// Whether the service manager can be reached; false with the last error set.
bool OpenServiceManager();
// Whether the manager knows the unit.
bool OpenServiceUnit(const std::string& unit);
// Asks the manager to start the unit without waiting for it; true on success.
bool StartServiceUnit(const std::string& unit);

// A service as it is installed: own process, started automatically at boot,
// under the local system account (Windows) or root (systemd).
struct ServiceDefinition {
  std::string name;               // service name and display name; the unit is ServiceUnitName(name)
  std::string executable;         // started with no arguments
  std::string working_directory;  // the executable's folder
};

// The running executable's full path, to install it as a service; empty,
// with the last error set, when it cannot be read or is longer than `limit`.
std::string ServiceExecutablePath(size_t limit);

// Folder of the system's unit files (systemd): $ORVOSVR_UNIT_DIR when it is
// set (for packagers and tests), otherwise "/etc/systemd/system".
std::string UnitFolder();
// The unit file of a service (systemd): notify type, restarted on failure,
// started at boot. Empty, with the last error set, when a value holds a
// character that a unit file cannot carry.
std::string UnitFileText(const ServiceDefinition& service);
// Creates the service's entry, never over an existing one: on Windows
// CreateService; under systemd the unit file in UnitFolder(), then a reload
// and the unit enabled. False, with the last error set, and then nothing is
// left behind.
bool CreateServiceUnit(const ServiceDefinition& service);
// Records the service's working folder with its entry: on Windows the value
// "WorkingPath" of its "Parameters" key; under systemd the unit file holds it
// already. 0; -1 when the key cannot be created, -2 when the value cannot be
// set (the last error set).
int RecordWorkingPath(const std::string& name, const std::string& folder);
// Whether the manager has an entry for `unit` that this process may control
// and delete; false with the last error set.
bool FindServiceUnit(const std::string& unit);
// The unit's state, numbered as the service record numbers them (1 stopped,
// 2 start pending, 3 stop pending, 4 running); 0, with the last error set,
// when the manager cannot tell.
uint32_t QueryServiceUnit(const std::string& unit);
// Asks the manager to stop the unit without waiting, when it is starting or
// running. False, with the last error set, when it was not running or the
// request failed.
bool StopServiceUnit(const std::string& unit);
// Deletes the service's entry (under systemd: disables the unit, deletes its
// file and has the manager reload its units); false with the last error set.
bool DeleteServiceUnit(const std::string& unit);

}  // namespace platform
