// The named output mutex: serialises threads and separate processes of the
// same game server, and never stays locked when a holder dies.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A named lock shared by every process that uses the same name.
class NamedMutex {
 public:
  NamedMutex() = default;
  NamedMutex(NamedMutex&& other) noexcept;
  NamedMutex& operator=(NamedMutex&& other) noexcept;
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;
  ~NamedMutex();

  // Creates the mutex (not owned); false on failure.
  static bool Create(const std::string& name, NamedMutex* out);
  // Opens an existing mutex by name; false when it does not exist.
  static bool Open(const std::string& name, NamedMutex* out);

  // Blocks until this handle owns the mutex.
  void Lock();
  void Unlock();

 private:
  // A lock file's descriptor, or a Windows mutex handle; -1 for none.
  intptr_t handle_ = -1;
};

// Where the lock file of a named mutex lives (Linux, for tests and documentation).
std::string NamedMutexPath(const std::string& name);

}  // namespace platform
