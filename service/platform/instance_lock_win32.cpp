#include "service/platform/instance_lock.h"

#include <windows.h>

#include <utility>

#include "service/platform/last_error.h"
#include "service/platform/win32/kernel_handle.h"

namespace platform {

using win32::AsHandle;
using win32::CloseIfOpen;

PipeSecurity::~PipeSecurity() {
  delete static_cast<SECURITY_ATTRIBUTES*>(attributes_);
  if (descriptor_ != nullptr) ::LocalFree(descriptor_);
}

int PipeSecurity::Create() {
  descriptor_ = ::LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
  if (descriptor_ == nullptr) {
    RecordSystemError();
    return -2;
  }
  // A present but null access list lets everyone in.
  if (!::InitializeSecurityDescriptor(descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
      !::SetSecurityDescriptorDacl(descriptor_, TRUE, nullptr, FALSE)) {
    RecordSystemError();
    return -3;
  }
  attributes_ = new SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), descriptor_, TRUE};
  return 0;
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

// The other one closes what this one held.
InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

InstanceLock::~InstanceLock() { CloseIfOpen(handle_); }

bool InstanceLock::Acquire(const std::string& name, InstanceLock* out, const PipeSecurity* security) {
  auto* attributes = static_cast<SECURITY_ATTRIBUTES*>(security != nullptr ? security->Attributes() : nullptr);
  // One instance at most: while this one is open, a second creation fails.
  // The pipe is never connected, read or written.
  HANDLE pipe = ::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 0, 0, 1000, attributes);
  if (pipe == INVALID_HANDLE_VALUE) {
    RecordSystemError();
    return false;
  }
  *out = InstanceLock();
  out->handle_ = reinterpret_cast<intptr_t>(pipe);
  return true;
}

}  // namespace platform
