#include "service/host/service_setup.h"

#include <string>

#include "service/host/log.h"
#include "service/host/service_control.h"
#include "service/platform/clock.h"
#include "service/platform/event_log.h"
#include "service/platform/fs.h"
#include "service/platform/service_manager.h"

namespace host {

namespace {

constexpr size_t kErrorRoom = 256;
// The longest executable path the service installs.
constexpr size_t kLongestPath = 520;
constexpr int kStopPollMs = 1000;

std::string ErrorText() { return FormatLastError(kErrorRoom); }

}  // namespace

void InstallService() {
  const ServiceControl& s = Service();
  std::string exe = platform::ServiceExecutablePath(kLongestPath);
  if (exe.empty()) {
    PrintConsole("Unable to install %s as a service - %s\n", s.full_name.c_str(), ErrorText().c_str());
    return;
  }
  if (!platform::OpenServiceManager()) {
    PrintConsole("OpenSCManager() failed - %s\n", ErrorText().c_str());
    return;
  }
  platform::ServiceDefinition service{s.full_name, exe, platform::FolderOf(exe)};
  if (!platform::CreateServiceUnit(service)) {
    PrintConsole("CreateService() failed - %s\n", ErrorText().c_str());
    return;
  }
  // Where the system keeps these in the registry: the event source, then the
  // working folder (a Linux unit file holds the folder, and syslog takes any
  // identity, so there nothing fails here).
  switch (platform::RegisterEventLogSource(s.short_name, exe)) {
    case -1:
      PrintConsole("RegCreateKey() for Event Log failed - %s\n", ErrorText().c_str());
      break;
    case -2:
      PrintConsole("RegSetValueEx() for \"EventMessageFile\" failed - %s\n", ErrorText().c_str());
      break;
    case -3:
      PrintConsole("RegSetValueEx() for \"TypesSupported\" failed -%s\n", ErrorText().c_str());
      break;
    default:
      break;
  }
  int parameters = platform::RecordWorkingPath(s.full_name, service.working_directory);
  if (parameters == -1) {
    PrintConsole("RegCreateKey() for \"Parameters\" failed - %s\n", ErrorText().c_str());
    return;
  }
  if (parameters == -2) PrintConsole("RegSetValueEx() for \"WorkingPath\" failed - %s\n", ErrorText().c_str());
  PrintConsole("%s installed for server %s\n", s.short_name.c_str(), s.server_name.c_str());
}

void RemoveService() {
  const ServiceControl& s = Service();
  if (!platform::OpenServiceManager()) {
    PrintConsole("OpenSCManager() failed - %s\n", ErrorText().c_str());
    return;
  }
  std::string unit = platform::ServiceUnitName(s.full_name);
  if (!platform::FindServiceUnit(unit)) {
    PrintConsole("OpenService() failed - %s\n", ErrorText().c_str());
    return;
  }
  if (platform::StopServiceUnit(unit)) {
    PrintConsole("Stopping %s.", s.short_name.c_str());
    // The manager's own stop time-out ends a stop that hangs, so this wait
    // needs no bound of its own.
    uint32_t state = 0;
    for (;;) {
      platform::SleepMs(kStopPollMs);
      state = platform::QueryServiceUnit(unit);
      if (state != kStateStopPending) break;
      PrintConsole(".");
    }
    PrintConsole(state == kStateStopped ? "\n%s has stopped.\n" : "\n%s failed to stop.\n", s.short_name.c_str());
  }
  if (platform::DeleteServiceUnit(unit)) {
    PrintConsole("%s has been removed.\n", s.full_name.c_str());
  } else {
    PrintConsole("DeleteService() failed - %s\n", ErrorText().c_str());
  }
}

}  // namespace host
