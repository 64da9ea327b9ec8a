// The monitor's files: the settings file "Configuration.ini" and the dated
// console log, both in the monitor's folder.
#pragma once

#include <string>
#include <string_view>

namespace monitor {

// The moment a console log is saved: the calendar date for the file's name
// and the date and time as the user's system writes them for the record.
struct LocalStamp {
  int year = 0;
  int month = 0;
  int day = 0;
  std::string short_date;  // the system's short date, e.g. "12/8/25"
  std::string short_time;  // the system's time, e.g. "4:05 PM"
};

// The settings file "Configuration.ini" in `folder`.
std::string SettingsFilePath(const std::string& folder);

// The value of `key` in `section` of the profile file `file`: at most 749
// characters, empty when the file, section or key is missing.
std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file);

// Stores `value` under `key` (written in upper case) in `section` of the
// profile file `file`, creating the file when needed. Failures are ignored.
void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& file);

// The console log's file name for the day of `now`, "GX-YYYY-MM-DD.log": a
// form that every file system accepts, whatever the system's date format.
std::string ConsoleLogName(const LocalStamp& now);

// Appends one record of `console_text` to the day's log in `folder`:
// "[ date time ]", the text, then a blank line, all with CR LF line ends.
// Returns false when the file could not be opened or written.
bool SaveConsoleLog(const std::string& folder, const LocalStamp& now,
                    std::string_view console_text);

}  // namespace monitor
