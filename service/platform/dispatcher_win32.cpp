#include "service/platform/dispatcher.h"

#include <windows.h>

#include <atomic>

#include "service/platform/last_error.h"

namespace platform {

namespace {

// The routines the system's callbacks hand over to. The dispatcher runs one
// service per process, and its handlers are set once before they can be
// called.
ServiceMainRoutine g_service_main = nullptr;
std::atomic<ServiceControlRoutine> g_control{nullptr};
std::atomic<ConsoleControlRoutine> g_console{nullptr};

VOID WINAPI ServiceMainThunk(DWORD argc, LPSTR* argv) { g_service_main(static_cast<int>(argc), argv); }

VOID WINAPI ControlThunk(DWORD control) {
  ServiceControlRoutine handler = g_control.load();
  if (handler != nullptr) handler(control);
}

BOOL WINAPI ConsoleThunk(DWORD event) {
  ConsoleControlRoutine handler = g_console.load();
  return handler != nullptr && handler(event) ? TRUE : FALSE;
}

}  // namespace

bool RunServiceDispatcher(const std::string& name, ServiceMainRoutine service_main, int /*argc*/, char** /*argv*/) {
  g_service_main = service_main;
  // One entry and the empty entry that ends the table. The service gets the
  // arguments its start request carried, not the process's.
  SERVICE_TABLE_ENTRYA table[] = {
      {const_cast<char*>(name.c_str()), ServiceMainThunk},
      {nullptr, nullptr},
  };
  if (!::StartServiceCtrlDispatcherA(table)) {
    RecordSystemError();
    return false;
  }
  return true;
}

ServiceNotifier* RegisterServiceControlHandler(const std::string& name, ServiceControlRoutine handler) {
  g_control.store(handler);
  SERVICE_STATUS_HANDLE status = ::RegisterServiceCtrlHandlerA(name.c_str(), ControlThunk);
  if (status == nullptr) {
    RecordSystemError();
    return nullptr;
  }
  // Never destroyed: a control may still be answered while the process ends.
  return new ServiceNotifier(reinterpret_cast<intptr_t>(status));
}

bool SetConsoleControlHandler(ConsoleControlRoutine handler) {
  g_console.store(handler);
  if (!::SetConsoleCtrlHandler(ConsoleThunk, TRUE)) {
    RecordSystemError();
    return false;
  }
  return true;
}

}  // namespace platform
