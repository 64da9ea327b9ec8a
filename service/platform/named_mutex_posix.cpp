#include "service/platform/named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

// Lock files live in the per-user runtime folder when there is one, so that
// another user cannot plant them; the name is kept readable but never holds
// a separator.
std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return runtime;
  const char* tmp = std::getenv("TMPDIR");
  return (tmp != nullptr && tmp[0] == '/') ? tmp : "/tmp";
}

int OpenLockFile(const std::string& name, bool create) {
  int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
  int fd;
  do {
    fd = ::open(NamedMutexPath(name).c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0 && create) ::fchmod(fd, 0666);
  return fd;
}

}  // namespace

std::string NamedMutexPath(const std::string& name) {
  std::string safe;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '/' || c == '%' || u < 0x20) {
      static const char* hex = "0123456789ABCDEF";
      safe += '%';
      safe += hex[u >> 4];
      safe += hex[u & 15];
    } else {
      safe += c;
    }
  }
  return LockFolder() + "/" + safe + ".lock";
}

NamedMutex::NamedMutex(NamedMutex&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

NamedMutex::~NamedMutex() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool NamedMutex::Create(const std::string& name, NamedMutex* out) {
  int fd = OpenLockFile(name, true);
  if (fd < 0) return false;
  *out = NamedMutex();
  out->handle_ = fd;
  return true;
}

bool NamedMutex::Open(const std::string& name, NamedMutex* out) {
  int fd = OpenLockFile(name, false);
  if (fd < 0) return false;
  *out = NamedMutex();
  out->handle_ = fd;
  return true;
}

// Each handle is its own open file description, so flock serialises threads
// of one process as well as processes; the kernel drops the lock when a
// holder dies.
void NamedMutex::Lock() {
  while (::flock(static_cast<int>(handle_), LOCK_EX) != 0 && errno == EINTR) {
  }
}

void NamedMutex::Unlock() { ::flock(static_cast<int>(handle_), LOCK_UN); }

}  // namespace platform
