#include "monitor/core/console_log.h"

#include <fstream>
#include <utility>

#include "monitor/core/console_charset.h"

namespace monitor {
namespace {

std::string TwoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string ConsoleLogName(const LocalStamp& now) {
  return "GX-" + std::to_string(now.year) + "-" + TwoDigits(now.month) + "-" +
         TwoDigits(now.day) + ".log";
}

ConsoleLog::ConsoleLog(std::string folder) : folder_(std::move(folder)) {}

// The file is opened for each piece: a record of a long connection never
// holds the log open between pieces.
void ConsoleLog::WriteBytes(std::string_view bytes) {
  std::ofstream out(folder_ + name_, std::ios::binary | std::ios::app);
  if (out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
  }
  if (!out) failed_ = true;
}

void ConsoleLog::Begin(const LocalStamp& now) {
  name_ = ConsoleLogName(now);
  begun_ = true;
  failed_ = false;
  // The date and time stay in the system's own encoding.
  WriteBytes("[ " + now.short_date + " " + now.short_time + " ]\r\n");
}

void ConsoleLog::Append(const LocalStamp& now, std::string_view text) {
  if (!begun_) Begin(now);
  WriteBytes(ConsoleTextToLogBytes(text));
}

bool ConsoleLog::Save(const LocalStamp& now, std::string_view text) {
  if (!begun_) Begin(now);
  WriteBytes(ConsoleTextToLogBytes(text) + "\r\n\r\n");
  begun_ = false;
  return !failed_;
}

}  // namespace monitor
