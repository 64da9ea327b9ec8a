// The service manager's end of the notification protocol, for tests: an
// abstract datagram socket of the test's own that collects what the service
// reports, in the order it reports it.
#pragma once

#include <string>

namespace testing_support {

class NotifySocket {
 public:
  // Binds a fresh abstract name; check address() is not empty.
  NotifySocket();
  ~NotifySocket();
  NotifySocket(const NotifySocket&) = delete;
  NotifySocket& operator=(const NotifySocket&) = delete;

  // The value for NOTIFY_SOCKET ("@" and the name).
  const std::string& address() const { return address_; }
  // The next message, or "<timeout>" when none came within `timeout_ms`.
  std::string Receive(int timeout_ms = 5000);
  // Messages up to and including the first that contains `text`, each
  // followed by "|"; ends with "<timeout>" when that message never came.
  std::string ReceiveThrough(const std::string& text, int timeout_ms = 10000);
  // Stops receiving: later messages are refused.
  void Close();

 private:
  int fd_ = -1;
  std::string address_;
};

}  // namespace testing_support
