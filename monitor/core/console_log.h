// The dated console log "GX-YYYY-MM-DD.log" in the monitor's folder. Each
// record is "[ date time ]", the console text and a blank line, with CR LF
// line ends and every character written as the console's byte.
//
// A record is written whole when the user disconnects. When the console box
// drops its oldest lines during a long connection, the record begins with
// them and is ended later, so that it still holds everything received since
// the connection began.
#pragma once

#include <string>
#include <string_view>

namespace monitor {

// The moment of a console save: the calendar date for the log's name and the
// date and time as the user's system writes them for the record.
struct LocalStamp {
  int year = 0;
  int month = 0;
  int day = 0;
  std::string short_date;  // the system's short date, e.g. "12/8/25"
  std::string short_time;  // the system's time, e.g. "4:05 PM"
};

// The log's file name for the day of `now`, "GX-YYYY-MM-DD.log": a form that
// every file system accepts, whatever the system's date format.
std::string ConsoleLogName(const LocalStamp& now);

// One connection's record in the log. Texts are console texts (UTF-8 with
// "\n" line ends).
class ConsoleLog {
 public:
  // A log in `folder`, which ends in the platform's separator.
  explicit ConsoleLog(std::string folder);

  // Whether a record has begun and not ended yet.
  bool Begun() const { return begun_; }
  // The log file of the record being written, or of the one last ended.
  const std::string& FileName() const { return name_; }

  // Appends `text`, which the console box is dropping, to the record; a
  // record that has not begun begins at `now` with its "[ date time ]" line.
  void Append(const LocalStamp& now, std::string_view text);
  // Ends the record with `text` and its blank line (beginning it at `now`
  // when none has begun). Returns whether every piece of it was written.
  bool Save(const LocalStamp& now, std::string_view text);

 private:
  void Begin(const LocalStamp& now);
  void WriteBytes(std::string_view bytes);

  std::string folder_;
  std::string name_;
  bool begun_ = false;
  bool failed_ = false;  // some piece of the current record was not written
};

}  // namespace monitor
