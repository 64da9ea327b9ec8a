#include "service/host/log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "service/host/config.h"
#include "service/host/event_messages.h"
#include "service/host/service_control.h"
#include "service/host/text_lines.h"
#include "service/platform/clock.h"
#include "service/platform/event_log.h"
#include "service/platform/fs.h"
#include "service/platform/last_error.h"
#include "service/platform/named_mutex.h"

namespace host {

namespace {

std::mutex g_mutex_guard;
platform::NamedMutex g_output_mutex;
// The console echo of WriteLog and PrintConsole never interleave within this process.
std::mutex g_console;

void Echo(const std::string& text) {
  std::lock_guard<std::mutex> lock(g_console);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

std::string OutputMutexName() { return "stdioMutex" + Service().server_name; }

bool CreateOutputMutex() {
  std::lock_guard<std::mutex> lock(g_mutex_guard);
  return platform::NamedMutex::Create(OutputMutexName(), &g_output_mutex);
}

void DestroyOutputMutex() {
  std::lock_guard<std::mutex> lock(g_mutex_guard);
  g_output_mutex = platform::NamedMutex();
}

std::string LogFileName() {
  platform::LocalDate d = platform::Today();
  std::string name = Format("orvosvr.%04d.%02d.%02d.log", d.year, d.month, d.day);
  const std::string& dir = Config().log_directory;
  if (dir.empty()) return name;
  return JoinFolder(platform::NativePath(dir), name);
}

void WriteLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = VFormat(format, args);
  va_end(args);

  platform::NamedMutex mutex;
  if (!platform::NamedMutex::Open(OutputMutexName(), &mutex)) {
    Echo("Unable to get mutex");
    return;
  }
  mutex.Lock();
  std::string file = LogFileName();
  TextWriter log(file, true);
  if (log.Ok()) {
    log.Write(text);
    log.Close();
  } else {
    Echo(Format("ERROR:  Unable to open log file %s\n", file.c_str()));
  }
  Echo(text);
  mutex.Unlock();
}

std::string EscapeForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      out += Format("\\x%02X", u);
    } else {
      if (c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

void PrintConsole(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = VFormat(format, args);
  va_end(args);
  Echo(text);
}

void ReportServiceEvent(uint32_t id, const std::vector<std::string>& inserts) {
  const EventMessage* message = FindEventMessage(id);
  if (message == nullptr) return;
  platform::WriteEvent(Service().short_name,
                       platform::EventEntry{id, message->type, inserts, FillInserts(message->text, inserts)});
}

std::string FormatLastError(size_t size) {
  std::string text = platform::LastErrorText();
  // Room as the system reckons it: its texts end in a two-character line end,
  // which this one lacks, and " (0x...)" takes up to 14 characters more.
  if (text.empty() || size < text.size() + 2 + 14) return {};
  return Format("%s (0x%x)", text.c_str(), static_cast<unsigned>(platform::LastError()));
}

}  // namespace host
