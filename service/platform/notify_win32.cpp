#include "service/platform/notify.h"

#include <windows.h>

#include "service/platform/last_error.h"

namespace platform {

// A status handle needs no closing.
ServiceNotifier::ServiceNotifier(ServiceNotifier&& other) noexcept
    : handle_(other.handle_), address_(std::move(other.address_)) {
  other.handle_ = -1;
}

ServiceNotifier& ServiceNotifier::operator=(ServiceNotifier&& other) noexcept {
  if (this != &other) {
    handle_ = other.handle_;
    address_ = std::move(other.address_);
    other.handle_ = -1;
  }
  return *this;
}

ServiceNotifier::~ServiceNotifier() = default;

// The Service Control Manager has no notification socket: its status handle
// comes from the control handler's registration.
bool ServiceNotifier::OpenFromEnvironment(ServiceNotifier* /*out*/) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

bool ServiceNotifier::Open(const std::string& /*address*/, ServiceNotifier* /*out*/) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

int ServiceNotifier::Send(const std::string& /*message*/) const {
  SetLastError(ERROR_NOT_SUPPORTED);
  return -1;
}

int ServiceNotifier::Report(const ServiceStatus& status) const {
  SERVICE_STATUS record{};
  record.dwServiceType = status.service_type;
  record.dwCurrentState = status.current_state;
  record.dwControlsAccepted = status.controls_accepted;
  record.dwWin32ExitCode = status.exit_code;
  record.dwServiceSpecificExitCode = status.specific_exit_code;
  record.dwCheckPoint = status.checkpoint;
  record.dwWaitHint = status.wait_hint;
  if (!::SetServiceStatus(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle_), &record)) {
    RecordSystemError();
    return -1;
  }
  return 0;
}

}  // namespace platform
