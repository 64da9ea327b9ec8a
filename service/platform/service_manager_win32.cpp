#include "service/platform/service_manager.h"

#include <windows.h>

#include "service/platform/fs.h"
#include "service/platform/last_error.h"

namespace platform {

namespace {

// Owns a handle of the Service Control Manager or of one of its services.
class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE h) : h_(h) {
    if (h_ == nullptr) RecordSystemError();
  }
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  ~ScHandle() {
    if (h_ != nullptr) ::CloseServiceHandle(h_);
  }
  explicit operator bool() const { return h_ != nullptr; }
  SC_HANDLE Get() const { return h_; }

 private:
  SC_HANDLE h_;
};

SC_HANDLE OpenManager() { return ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS); }

// Opens the manager, then the service with `access`; false with the last
// error set when either fails.
template <typename Use>
bool WithService(const std::string& name, DWORD access, Use use) {
  ScHandle manager(OpenManager());
  if (!manager) return false;
  ScHandle service(::OpenServiceA(manager.Get(), name.c_str(), access));
  if (!service) return false;
  return use(service.Get());
}

// A path with a blank in it must be quoted, or the manager would try to run
// "C:\Program" first.
std::string CommandOf(const std::string& executable) { return "\"" + executable + "\""; }

bool Recorded(LONG rc) {
  if (rc == ERROR_SUCCESS) return true;
  SetLastError(static_cast<int>(rc));
  return false;
}

}  // namespace

std::string ServiceUnitName(const std::string& display_name) { return display_name; }

bool OpenServiceManager() { return static_cast<bool>(ScHandle(OpenManager())); }

bool OpenServiceUnit(const std::string& unit) {
  return WithService(unit, SERVICE_START, [](SC_HANDLE) { return true; });
}

bool StartServiceUnit(const std::string& unit) {
  return WithService(unit, SERVICE_START, [](SC_HANDLE service) {
    if (::StartServiceA(service, 0, nullptr)) return true;
    RecordSystemError();
    return false;
  });
}

std::string ServiceExecutablePath(size_t limit) {
  std::string path = ExecutablePath();
  if (path.empty()) {
    RecordSystemError();
  } else if (path.size() > limit) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    path.clear();
  }
  return path;
}

bool CreateServiceUnit(const ServiceDefinition& service) {
  ScHandle manager(OpenManager());
  if (!manager) return false;
  // No load-order group, tag or dependencies; the local system account.
  ScHandle created(::CreateServiceA(manager.Get(), service.name.c_str(), service.name.c_str(), SERVICE_ALL_ACCESS,
                                    SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                    CommandOf(service.executable).c_str(), nullptr, nullptr, nullptr, nullptr,
                                    nullptr));
  return static_cast<bool>(created);
}

int RecordWorkingPath(const std::string& name, const std::string& folder) {
  HKEY key = nullptr;
  std::string path = "System\\CurrentControlSet\\Services\\" + name + "\\Parameters";
  if (!Recorded(::RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key))) return -1;
  // Stored without its terminator.
  bool set = Recorded(::RegSetValueExA(key, "WorkingPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.data()),
                                       static_cast<DWORD>(folder.size())));
  ::RegCloseKey(key);
  return set ? 0 : -2;
}

bool FindServiceUnit(const std::string& unit) {
  return WithService(unit, SERVICE_ALL_ACCESS, [](SC_HANDLE) { return true; });
}

uint32_t QueryServiceUnit(const std::string& unit) {
  SERVICE_STATUS status{};
  bool known = WithService(unit, SERVICE_QUERY_STATUS, [&status](SC_HANDLE service) {
    if (::QueryServiceStatus(service, &status)) return true;
    RecordSystemError();
    return false;
  });
  if (!known) return 0;
  // Paused and the pending states around a pause belong to a service that runs.
  return status.dwCurrentState <= SERVICE_RUNNING ? status.dwCurrentState : SERVICE_RUNNING;
}

bool StopServiceUnit(const std::string& unit) {
  return WithService(unit, SERVICE_STOP, [](SC_HANDLE service) {
    SERVICE_STATUS status{};
    if (::ControlService(service, SERVICE_CONTROL_STOP, &status)) return true;
    RecordSystemError();
    return false;
  });
}

bool DeleteServiceUnit(const std::string& unit) {
  return WithService(unit, DELETE, [](SC_HANDLE service) {
    if (::DeleteService(service)) return true;
    RecordSystemError();
    return false;
  });
}

}  // namespace platform
