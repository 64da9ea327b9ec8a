#include "service/host/service_control.h"

#include <mutex>

#include "service/host/event_messages.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/last_error.h"
#include "service/platform/net.h"
#include "service/platform/notify.h"

namespace host {

namespace {
// The process-wide checkpoint counter of pending states.
uint32_t g_checkpoint = 1;
// Status reports come from the server's thread and the control handler's.
std::mutex g_report_guard;
// RequestStop never signals an event that its owner is destroying.
std::mutex g_stop_event_guard;
}  // namespace

ServiceControl& Service() {
  static ServiceControl record;
  return record;
}

void SetServerName(const std::string& name) {
  ServiceControl& s = Service();
  s.server_name = name;
  s.full_name = name.empty() ? s.display_name : s.display_name + " - " + name;
}

int ReportStatus() {
  ServiceControl& s = Service();
  std::lock_guard<std::mutex> lock(g_report_guard);
  platform::ServiceNotifier* manager = s.status_handle.load();
  if (s.console.load() != 0 || manager == nullptr) return 0;
  s.service_type = 0x10;
  uint32_t state = s.current_state.load();
  s.controls_accepted = state == kStateStartPending ? 0 : 5;
  if (state == kStateRunning || state == kStateStopped) {
    s.checkpoint = 0;
    s.wait_hint = 0;
  } else {
    s.checkpoint = g_checkpoint++;
    s.wait_hint = 5000;
  }
  int rc = manager->Report(platform::ServiceStatus{state, s.checkpoint, s.wait_hint, s.exit_code, s.service_type,
                                                    s.controls_accepted, s.specific_exit_code});
  if (rc != 0) {
    ReportServiceEvent(kEventStatusRefused,
                       {Format("rc = %ld, Err = %ld", static_cast<long>(rc), static_cast<long>(platform::LastError()))});
  }
  return rc;
}

void SetStopEvent(platform::WakeEvent* event) {
  std::lock_guard<std::mutex> lock(g_stop_event_guard);
  Service().stop_event = event;
}

void RequestStop() {
  ServiceControl& s = Service();
  s.current_state.store(kStateStopPending);
  ReportStatus();
  std::lock_guard<std::mutex> lock(g_stop_event_guard);
  if (s.stop_event != nullptr) s.stop_event->Signal();
}

}  // namespace host
