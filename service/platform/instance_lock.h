// The single-instance guard: a name that only one process at a time can
// hold, released by the kernel when the holder ends.
#pragma once

#include <string>

namespace platform {

class InstanceLock {
 public:
  InstanceLock() = default;
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  // Takes `name` for as long as the lock lives (programs the process starts
  // do not inherit it). False, with the last error set, when a process (this
  // one included) holds the name already.
  static bool Acquire(const std::string& name, InstanceLock* out);
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// The abstract Unix socket name that holds `name` (without its leading zero
// byte): the name itself, or, when it is too long for a socket address, its
// beginning followed by "#" and a hash of the whole.
std::string InstanceLockAddress(const std::string& name);

}  // namespace platform
