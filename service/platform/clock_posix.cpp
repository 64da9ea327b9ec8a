#include "service/platform/clock.h"

#include <time.h>

#include <cerrno>

namespace platform {

long long UnixTime() { return static_cast<long long>(::time(nullptr)); }

LocalDate Today() {
  time_t now = ::time(nullptr);
  struct tm parts {};
  localtime_r(&now, &parts);
  return LocalDate{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

int64_t MonotonicMs() {
  struct timespec ts {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMs(int ms) {
  struct timespec ts {};
  ts.tv_sec = ms / 1000;
  ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace platform
