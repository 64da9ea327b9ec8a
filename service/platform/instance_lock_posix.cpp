#include "service/platform/instance_lock.h"

#include <stddef.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "service/platform/last_error.h"

namespace platform {

namespace {

// An abstract address is a zero byte followed by the name.
constexpr size_t kRoom = sizeof(sockaddr_un::sun_path) - 1;

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 14695981039346656037ULL;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  return hash;
}

}  // namespace

std::string InstanceLockAddress(const std::string& name) {
  if (name.size() <= kRoom) return name;
  char tail[24];
  std::snprintf(tail, sizeof tail, "#%016" PRIx64, Fnv1a(name));
  return name.substr(0, kRoom - std::strlen(tail)) + tail;
}

// An abstract socket admits every user already.
PipeSecurity::~PipeSecurity() = default;

int PipeSecurity::Create() { return 0; }

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

InstanceLock::~InstanceLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool InstanceLock::Acquire(const std::string& name, InstanceLock* out, const PipeSecurity* /*security*/) {
  std::string address = InstanceLockAddress(name);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path + 1, address.data(), address.size());
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    RecordSystemError();
    return false;
  }
  socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + address.size());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), length) != 0) {
    RecordSystemError();
    ::close(fd);
    return false;
  }
  *out = InstanceLock();
  out->handle_ = fd;
  return true;
}

}  // namespace platform
