// How a running service tells the service manager its status: on Windows
// through the status handle that the control handler's registration gives;
// under systemd through the notification socket that NOTIFY_SOCKET names
// (the sd_notify protocol, datagrams of "KEY=value" lines).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A service's status as the service manager is told it, in the order of the
// manager's own status record; the states are numbered as the service record
// keeps them.
struct ServiceStatus {
  uint32_t current_state = 1;      // 1 stopped, 2 start pending, 3 stop pending, 4 running
  uint32_t checkpoint = 0;         // grows with each report of a pending state
  uint32_t wait_hint = 0;          // milliseconds until the next report, while pending
  uint32_t exit_code = 0;          // the service's exit code, once stopped
  uint32_t service_type = 0x10;    // a service in a process of its own
  uint32_t controls_accepted = 5;  // stop (1) and shutdown (4)
  uint32_t specific_exit_code = 0;
};

// The channel to the service manager: a status handle, or a datagram socket.
class ServiceNotifier {
 public:
  ServiceNotifier() = default;
  // Takes over `handle`: Windows's status handle for the service.
  explicit ServiceNotifier(intptr_t handle) : handle_(handle) {}
  ServiceNotifier(ServiceNotifier&& other) noexcept;
  ServiceNotifier& operator=(ServiceNotifier&& other) noexcept;
  ServiceNotifier(const ServiceNotifier&) = delete;
  ServiceNotifier& operator=(const ServiceNotifier&) = delete;
  ~ServiceNotifier();

  // Opens the socket that NOTIFY_SOCKET names and removes the variable, so
  // that programs the service starts do not inherit it. False, with the last
  // error set, when the process was not started by the service manager (and
  // always on Windows, where the handle comes from the control handler's
  // registration). Call before the process has other threads.
  static bool OpenFromEnvironment(ServiceNotifier* out);
  // Opens a notifier for `address`: "@name" for an abstract socket, or an
  // absolute path. False with the last error set (always on Windows).
  static bool Open(const std::string& address, ServiceNotifier* out);

  bool Valid() const { return handle_ != -1; }
  // Sends one notification message as written (systemd); 0, or -1 with the
  // last error set.
  int Send(const std::string& message) const;
  // Tells the manager `status`: SetServiceStatus on Windows; under systemd
  // READY=1 when running, STOPPING=1 when stop pending, a STATUS= text, and
  // EXTEND_TIMEOUT_USEC= from the wait hint while pending. 0, or -1 with the
  // last error set.
  int Report(const ServiceStatus& status) const;

 private:
  intptr_t handle_ = -1;
  std::string address_;  // the socket address's bytes
};

}  // namespace platform
