// Test support only: the receiving end needs the system's socket calls.
#include "service/tests/notify_socket.h"

#include <poll.h>
#include <stddef.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace testing_support {

NotifySocket::NotifySocket() {
  static int counter = 0;
  std::string name = "orvosvr-test-notify-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path + 1, name.data(), name.size());
  socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), length) == 0) address_ = "@" + name;
}

NotifySocket::~NotifySocket() { Close(); }

void NotifySocket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string NotifySocket::Receive(int timeout_ms) {
  if (fd_ < 0) return "<timeout>";
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, timeout_ms) != 1) return "<timeout>";
  char buf[4096];
  ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
  return n < 0 ? "<timeout>" : std::string(buf, static_cast<size_t>(n));
}

std::string NotifySocket::ReceiveThrough(const std::string& text, int timeout_ms) {
  std::string all;
  for (;;) {
    std::string message = Receive(timeout_ms);
    if (message == "<timeout>") return all + message;
    all += message + "|";
    if (message.find(text) != std::string::npos) return all;
  }
}

}  // namespace testing_support
