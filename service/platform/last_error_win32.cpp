#include <windows.h>

#include "service/platform/last_error.h"

namespace platform {

// The calls of this layer fail with the thread's Win32 error, socket calls
// included (WSAGetLastError reads the same value).
void RecordSystemError() { SetLastError(static_cast<int>(::GetLastError())); }

}  // namespace platform
