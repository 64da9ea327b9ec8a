// Time as the service needs it.
#pragma once

#include <cstdint>

namespace platform {

struct LocalDate {
  int year;   // four digits
  int month;  // 1 to 12
  int day;    // 1 to 31
};

// Whole seconds since 1970-01-01 00:00 UTC.
long long UnixTime();
// Today's date in local time.
LocalDate Today();
// Milliseconds of a monotonic clock, for deadlines.
int64_t MonotonicMs();
// Sleeps for `ms` milliseconds.
void SleepMs(int ms);

}  // namespace platform
