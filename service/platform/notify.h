// The service manager's notification socket: how a service that systemd
// started tells it its state (the sd_notify protocol, datagrams of
// "KEY=value" lines to the socket that NOTIFY_SOCKET names).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A service's status as the service manager is told it; the states are
// numbered as the service record keeps them.
struct ServiceStatus {
  uint32_t current_state = 1;  // 1 stopped, 2 start pending, 3 stop pending, 4 running
  uint32_t checkpoint = 0;     // grows with each report of a pending state
  uint32_t wait_hint = 0;      // milliseconds until the next report, while pending
  uint32_t exit_code = 0;      // the service's exit code, once stopped
};

// The notification message of a status: READY=1 when running, STOPPING=1
// when stop pending, a STATUS= text, and EXTEND_TIMEOUT_USEC= from the wait
// hint while pending.
std::string StatusMessage(const ServiceStatus& status);

// A datagram socket that sends notifications to the service manager.
class ServiceNotifier {
 public:
  ServiceNotifier() = default;
  ServiceNotifier(ServiceNotifier&& other) noexcept;
  ServiceNotifier& operator=(ServiceNotifier&& other) noexcept;
  ServiceNotifier(const ServiceNotifier&) = delete;
  ServiceNotifier& operator=(const ServiceNotifier&) = delete;
  ~ServiceNotifier();

  // Opens the socket that NOTIFY_SOCKET names and removes the variable, so
  // that programs the service starts do not inherit it. False, with the last
  // error set, when the process was not started by the service manager.
  // Call before the process has other threads.
  static bool OpenFromEnvironment(ServiceNotifier* out);
  // Opens a notifier for `address`: "@name" for an abstract socket, or an
  // absolute path. False with the last error set.
  static bool Open(const std::string& address, ServiceNotifier* out);

  bool Valid() const { return fd_ >= 0; }
  // Sends one message as written; 0, or -1 with the last error set.
  int Send(const std::string& message) const;
  // Sends StatusMessage(status); 0, or -1 with the last error set.
  int Report(const ServiceStatus& status) const { return Send(StatusMessage(status)); }

 private:
  int fd_ = -1;
  std::string address_;  // the socket address's bytes
};

}  // namespace platform
