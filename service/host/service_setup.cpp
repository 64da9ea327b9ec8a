#include "service/host/service_setup.h"

#include <string>

#include "service/host/log.h"
#include "service/host/service_control.h"
#include "service/platform/clock.h"
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
  size_t cut = exe.find_last_of('/');
  platform::ServiceDefinition service{s.full_name, exe, cut == 0 ? "/" : exe.substr(0, cut)};
  if (!platform::CreateServiceUnit(service)) {
    PrintConsole("CreateService() failed - %s\n", ErrorText().c_str());
    return;
  }
  // The unit file records the working folder; there is no event source to
  // register, as the system log takes any identity.
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
