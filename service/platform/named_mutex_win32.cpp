#include "service/platform/named_mutex.h"

#include <windows.h>

#include <utility>

#include "service/platform/win32/kernel_handle.h"

namespace platform {

using win32::AsHandle;
using win32::CloseIfOpen;

NamedMutex::NamedMutex(NamedMutex&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

// The other one closes what this one held.
NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

NamedMutex::~NamedMutex() { CloseIfOpen(handle_); }

bool NamedMutex::Create(const std::string& name, NamedMutex* out) {
  // Not owned, default security.
  HANDLE h = ::CreateMutexA(nullptr, FALSE, name.c_str());
  if (h == nullptr) return false;
  *out = NamedMutex();
  out->handle_ = reinterpret_cast<intptr_t>(h);
  return true;
}

bool NamedMutex::Open(const std::string& name, NamedMutex* out) {
  HANDLE h = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str());
  if (h == nullptr) return false;
  *out = NamedMutex();
  out->handle_ = reinterpret_cast<intptr_t>(h);
  return true;
}

// A mutex whose holder died comes back abandoned, and owned by the waiter:
// it never stays locked.
void NamedMutex::Lock() { ::WaitForSingleObject(AsHandle(handle_), INFINITE); }

void NamedMutex::Unlock() { ::ReleaseMutex(AsHandle(handle_)); }

}  // namespace platform
