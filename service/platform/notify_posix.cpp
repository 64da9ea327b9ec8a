#include "service/platform/notify.h"

#include <stddef.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "service/platform/last_error.h"

namespace platform {

namespace {

constexpr const char* kVariable = "NOTIFY_SOCKET";

// The bytes of a Unix socket address for `address`; false when the address
// is of no kind a notification can go to.
bool SocketAddress(const std::string& address, std::string* bytes) {
  if (address.size() < 2 || (address[0] != '@' && address[0] != '/')) {
    SetLastError(EINVAL);
    return false;
  }
  // An abstract name is as long as it is; a path carries its terminator.
  size_t length = address[0] == '@' ? address.size() : address.size() + 1;
  if (length > sizeof(sockaddr_un::sun_path)) {
    SetLastError(ENAMETOOLONG);
    return false;
  }
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, address.data(), address.size());
  if (address[0] == '@') addr.sun_path[0] = '\0';
  bytes->assign(reinterpret_cast<const char*>(&addr), offsetof(sockaddr_un, sun_path) + length);
  return true;
}

std::string Number(uint64_t value) { return std::to_string(value); }

std::string StatusMessage(const ServiceStatus& status) {
  std::string checkpoint = " (checkpoint " + Number(status.checkpoint) + ")";
  std::string extend = "\nEXTEND_TIMEOUT_USEC=" + Number(uint64_t{status.wait_hint} * 1000);
  switch (status.current_state) {
    case 2:
      return "STATUS=Start pending" + checkpoint + extend;
    case 3:
      return "STOPPING=1\nSTATUS=Stop pending" + checkpoint + extend;
    case 4:
      return "READY=1\nSTATUS=Running";
    default:
      // The service's exit codes are negative numbers kept in 32 bits.
      return "STATUS=Stopped (exit code " + std::to_string(static_cast<int32_t>(status.exit_code)) + ")";
  }
}

}  // namespace

ServiceNotifier::ServiceNotifier(ServiceNotifier&& other) noexcept
    : handle_(other.handle_), address_(std::move(other.address_)) {
  other.handle_ = -1;
}

ServiceNotifier& ServiceNotifier::operator=(ServiceNotifier&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    address_ = std::move(other.address_);
    other.handle_ = -1;
  }
  return *this;
}

ServiceNotifier::~ServiceNotifier() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool ServiceNotifier::OpenFromEnvironment(ServiceNotifier* out) {
  const char* value = std::getenv(kVariable);
  if (value == nullptr) {
    // What a process gets that the manager did not start.
    SetLastError(ENOTCONN);
    return false;
  }
  std::string address = value;
  ::unsetenv(kVariable);
  return Open(address, out);
}

bool ServiceNotifier::Open(const std::string& address, ServiceNotifier* out) {
  std::string bytes;
  if (!SocketAddress(address, &bytes)) return false;
  int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    RecordSystemError();
    return false;
  }
  *out = ServiceNotifier();
  out->handle_ = fd;
  out->address_ = std::move(bytes);
  return true;
}

int ServiceNotifier::Send(const std::string& message) const {
  if (handle_ < 0) {
    SetLastError(EBADF);
    return -1;
  }
  ssize_t n;
  do {
    n = ::sendto(static_cast<int>(handle_), message.data(), message.size(), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr*>(address_.data()), static_cast<socklen_t>(address_.size()));
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    RecordSystemError();
    return -1;
  }
  return 0;
}

int ServiceNotifier::Report(const ServiceStatus& status) const { return Send(StatusMessage(status)); }

}  // namespace platform
