// The single-instance guard: a name that only one process at a time can
// hold, released by the kernel when the holder ends. On Windows it is the
// named pipe "\\.\pipe\<name>"; on Linux an abstract Unix socket.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Who may open the single-instance pipe: every user, through a security
// descriptor with a null access list in inheritable security attributes.
// Where every user may reach the name anyway (an abstract socket), it holds
// nothing.
class PipeSecurity {
 public:
  PipeSecurity() = default;
  PipeSecurity(const PipeSecurity&) = delete;
  PipeSecurity& operator=(const PipeSecurity&) = delete;
  ~PipeSecurity();

  // Makes the descriptor: 0; -2 when it cannot be allocated, -3 when it
  // cannot be initialised or given the null access list (last error set).
  int Create();
  // The security attributes to create the pipe with; nullptr for the default.
  void* Attributes() const { return attributes_; }

 private:
  void* descriptor_ = nullptr;
  void* attributes_ = nullptr;
};

class InstanceLock {
 public:
  InstanceLock() = default;
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  // Takes `name` for as long as the lock lives, with `security` (nullptr:
  // the system's default). False, with the last error set, when a process
  // (this one included) holds the name already.
  static bool Acquire(const std::string& name, InstanceLock* out, const PipeSecurity* security = nullptr);
  bool Held() const { return handle_ != -1; }

 private:
  // A socket's descriptor, or a Windows pipe handle; -1 for none.
  intptr_t handle_ = -1;
};

// The abstract Unix socket name that holds `name` (Linux; without its leading
// zero byte): the name itself, or, when it is too long for a socket address,
// its beginning followed by "#" and a hash of the whole.
std::string InstanceLockAddress(const std::string& name);

}  // namespace platform
