// Kernel handles as the Windows side of the platform layer keeps them: in the
// headers' intptr_t fields, -1 for none.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::win32 {

inline HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

inline void CloseIfOpen(intptr_t handle) {
  if (handle != -1) ::CloseHandle(AsHandle(handle));
}

}  // namespace platform::win32
