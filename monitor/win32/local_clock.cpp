#include "monitor/win32/local_clock.h"

#include <windows.h>

namespace monitor {
namespace {

// A date or time text of `format`, sized by asking first.
template <class Format>
std::string Formatted(Format format, const SYSTEMTIME& now, DWORD flags) {
  const int length = format(LOCALE_USER_DEFAULT, flags, &now, nullptr, nullptr, 0);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length), '\0');
  format(LOCALE_USER_DEFAULT, flags, &now, nullptr, text.data(), length);
  text.resize(static_cast<size_t>(length) - 1);  // the terminating zero
  return text;
}

}  // namespace

LocalStamp LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LocalStamp stamp;
  stamp.year = now.wYear;
  stamp.month = now.wMonth;
  stamp.day = now.wDay;
  stamp.short_date = Formatted(GetDateFormatA, now, DATE_SHORTDATE);
  stamp.short_time = Formatted(GetTimeFormatA, now, 0);
  return stamp;
}

}  // namespace monitor
