// The process-wide service record: the service's names, its status as the
// service manager sees it, and the stop request.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace platform {
class ServiceNotifier;
class WakeEvent;
}  // namespace platform

namespace host {

// Service manager states.
enum ServiceState : uint32_t {
  kStateStopped = 1,
  kStateStartPending = 2,
  kStateStopPending = 3,
  kStateRunning = 4,
};

struct ServiceControl {
  platform::WakeEvent* stop_event = nullptr;  // signalled by RequestStop; set through SetStopEvent
  uint32_t service_type = 0x10;
  std::atomic<uint32_t> current_state{kStateStopped};
  uint32_t controls_accepted = 5;
  uint32_t exit_code = 0;
  uint32_t specific_exit_code = 0;
  uint32_t checkpoint = 0;
  uint32_t wait_hint = 5000;
  std::atomic<platform::ServiceNotifier*> status_handle{nullptr};  // set when the service manager runs the process
  std::string server_name;
  std::string short_name = "unnamed";
  std::string display_name = "unnamed service";
  std::string full_name = "unnamed service";
  std::atomic<int> console{1};
};

// The one record of the process; created by the entry routine.
ServiceControl& Service();

// Stores the game server's name and forms the full name from it.
void SetServerName(const std::string& name);

// Reports the record's status to the service manager; 0 when it was sent or
// nothing is sent (console mode, no status handle), -1 when the manager could
// not be told (then event 0xA00003EE is written).
int ReportStatus();

// Publishes the event that RequestStop signals, or withdraws it (nullptr);
// once withdrawn it is never signalled again, so its owner may destroy it.
void SetStopEvent(platform::WakeEvent* event);

// Asks the server loop to end (stop pending) and wakes it. Runs on ordinary
// threads only: signal handlers hand their signal to a thread first.
void RequestStop();

// Whether a stop has been requested.
inline bool StopRequested() { return Service().current_state.load() == kStateStopPending; }

}  // namespace host
