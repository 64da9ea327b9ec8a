#include "service/platform/clock.h"

#include <windows.h>

#include <ctime>

namespace platform {

long long UnixTime() { return static_cast<long long>(std::time(nullptr)); }

LocalDate Today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return LocalDate{now.wYear, now.wMonth, now.wDay};
}

int64_t MonotonicMs() { return static_cast<int64_t>(::GetTickCount64()); }

void SleepMs(int ms) { ::Sleep(ms < 0 ? 0 : static_cast<DWORD>(ms)); }

}  // namespace platform
