#include "service/host/service_control.h"

#include "service/platform/net.h"

namespace host {

namespace {
// The process-wide checkpoint counter of pending states.
uint32_t g_checkpoint = 1;
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
  if (s.console.load() != 0 || s.status_handle == nullptr) return 0;
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
  // Nothing manages this process yet: there is no one to report to.
  return 0;
}

void RequestStop() {
  ServiceControl& s = Service();
  s.current_state.store(kStateStopPending);
  ReportStatus();
  if (s.stop_event != nullptr) s.stop_event->Signal();
}

}  // namespace host
