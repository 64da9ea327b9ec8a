#include "service/host/service_dispatch.h"

#include <memory>
#include <string>

#include "service/host/event_messages.h"
#include "service/host/log.h"
#include "service/host/service_control.h"
#include "service/host/text_lines.h"
#include "service/platform/dispatcher.h"
#include "service/platform/instance_lock.h"
#include "service/platform/net.h"
#include "service/protocol/listener.h"

namespace host {

namespace {

// The single-instance pipe stays open until the process ends.
platform::InstanceLock g_instance_pipe;

constexpr size_t kPipeErrorRoom = 1024;
constexpr size_t kDispatcherErrorRoom = 256;

bool InConsole() { return Service().console.load() != 0; }

// Start-up failed at one of its first steps with the negative result `rc`.
int StartFailed(int rc) {
  std::string text = Format("An unexpected error occurred (rc = %ld).\n", static_cast<long>(rc));
  if (InConsole()) {
    PrintConsole("%s", text.c_str());
  } else {
    ReportServiceEvent(kEventStartFailed, {Service().full_name, text});
  }
  return rc;
}

// Running, unless a stop was requested while the service was starting.
void EnterRunning() {
  std::atomic<uint32_t>& state = Service().current_state;
  uint32_t seen = state.load();
  while (seen != kStateStopPending && !state.compare_exchange_weak(seen, kStateRunning)) {
  }
}

}  // namespace

int RunDispatcher(int argc, char** argv) {
  ServiceControl& s = Service();
  s.console.store(0);
  PrintConsole("\nStartServiceCtrlDispatcher being called.\n");
  PrintConsole("This may take serveral seconds... Please wait.\n");
  if (!platform::RunServiceDispatcher(s.full_name, ServiceEntry, argc, argv)) {
    ReportServiceEvent(kEventStartFailed, {s.full_name, FormatLastError(kDispatcherErrorRoom)});
    return -1;
  }
  // systemd learns how the service ended from the process's exit status.
  return s.status_handle.load() != nullptr ? static_cast<int>(s.exit_code) : -1;
}

void ServiceEntry(int argc, char** argv) {
  ServiceControl& s = Service();
  s.current_state.store(kStateStartPending);
  platform::ServiceNotifier* status_handle = platform::RegisterServiceControlHandler(s.full_name, ServiceControlHandler);
  if (status_handle == nullptr) {
    if (InConsole()) {
      PrintConsole("Unable to Register Control Handler.  Terminating.\n");
    } else {
      ReportServiceEvent(kEventStartFailed, {s.full_name, "Unable to Register Control Handler. Terminating."});
    }
    return;
  }
  s.status_handle.store(status_handle);
  ReportStatus();
  int result = ServiceStart(argc, argv);
  s.current_state.store(kStateStopped);
  s.exit_code = static_cast<uint32_t>(result);
  ReportStatus();
}

int ServiceStart(int argc, char** argv) {
  ServiceControl& s = Service();
  if (InConsole()) {
    PrintConsole("Service Start pending...");
  } else {
    ReportServiceEvent(kEventStarting, {s.full_name});
  }
  ReportStatus();

  auto stop_event = std::make_unique<platform::WakeEvent>();
  if (!stop_event->Valid()) return StartFailed(-1);
  SetStopEvent(stop_event.get());
  ReportStatus();

  // Every user may open the pipe.
  platform::PipeSecurity everyone;
  if (int rc = everyone.Create(); rc < 0) {
    SetStopEvent(nullptr);
    return StartFailed(rc);
  }
  ReportStatus();

  platform::InstanceLock pipe;
  if (!platform::InstanceLock::Acquire(Format("\\\\.\\pipe\\%s", s.full_name.c_str()), &pipe, &everyone)) {
    if (InConsole()) {
      PrintConsole("%s could not create a named pipe.\n", s.display_name.c_str());
      PrintConsole("This is usually due to another instance of this program running\non this machine.\nTerminating\n.");
    } else {
      ReportServiceEvent(kEventPipeExists, {s.full_name, FormatLastError(kPipeErrorRoom)});
    }
    SetStopEvent(nullptr);
    return StartFailed(-4);
  }
  g_instance_pipe = std::move(pipe);
  ReportStatus();

  EnterRunning();
  ReportStatus();
  if (InConsole()) {
    PrintConsole("started.\n");
  } else {
    ReportServiceEvent(kEventStarted, {s.full_name});
  }

  int result = protocol::ServerMain(argc, argv);
  std::string exit_text = Format("The exit code is %ld", static_cast<long>(result));
  if (InConsole()) {
    PrintConsole("%s\n", exit_text.c_str());
  } else if (result != 0) {
    ReportServiceEvent(kEventAbnormalStop, {s.full_name, exit_text});
  } else {
    ReportServiceEvent(kEventStopped, {s.full_name});
  }
  SetStopEvent(nullptr);
  return result;
}

void ServiceControlHandler(uint32_t control) {
  if (control == kControlStop || control == kControlShutdown) {
    if (!InConsole()) ReportServiceEvent(kEventStopping, {Service().full_name});
    RequestStop();
  }
  ReportStatus();
}

bool ConsoleControlHandler(uint32_t event) {
  if (event == kConsoleCtrlC || event == kConsoleCtrlBreak) {
    RequestStop();
    return true;
  }
  Service().wait_hint = 3000;
  ReportStatus();
  return false;
}

int DebugService(int argc, char** argv) {
  ServiceControl& s = Service();
  s.console.store(1);
  PrintConsole("Debugging %s.\n", s.full_name.c_str());
  platform::SetConsoleControlHandler(ConsoleControlHandler);
  return ServiceStart(argc, argv);
}

}  // namespace host
