#include "service/platform/event_log.h"

#include <windows.h>

#include <mutex>
#include <vector>

#include "service/platform/last_error.h"

namespace platform {

namespace {

std::mutex g_hook_guard;
EventHook g_hook;

// The Application log's key of an event source.
std::string SourceKey(const std::string& source) {
  return "System\\CurrentControlSet\\Services\\EventLog\\Application\\" + source;
}

// Registry calls return their error instead of setting the thread's.
bool Recorded(LONG rc) {
  if (rc == ERROR_SUCCESS) return true;
  SetLastError(static_cast<int>(rc));
  return false;
}

std::string WithoutLineEnd(std::string text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  return text;
}

}  // namespace

void WriteEvent(const std::string& source, const EventEntry& entry) {
  {
    std::lock_guard<std::mutex> lock(g_hook_guard);
    if (g_hook) {
      g_hook(source, entry.type, WithoutLineEnd(entry.text));
      return;
    }
  }
  // Registered for this one entry and deregistered after it; an entry that
  // cannot be written is dropped.
  HANDLE log = ::RegisterEventSourceA(nullptr, source.c_str());
  if (log == nullptr) return;
  std::vector<const char*> strings;
  for (const std::string& insert : entry.inserts) strings.push_back(insert.c_str());
  ::ReportEventA(log, static_cast<WORD>(entry.type), 0, entry.id, nullptr, static_cast<WORD>(strings.size()), 0,
                 strings.empty() ? nullptr : strings.data(), nullptr);
  ::DeregisterEventSource(log);
}

void SetEventHook(EventHook hook) {
  std::lock_guard<std::mutex> lock(g_hook_guard);
  g_hook = std::move(hook);
}

int RegisterEventLogSource(const std::string& source, const std::string& message_file) {
  HKEY key = nullptr;
  if (!Recorded(::RegCreateKeyA(HKEY_LOCAL_MACHINE, SourceKey(source).c_str(), &key))) return -1;
  int rc = 0;
  // The file's path is stored with its terminator.
  if (!Recorded(::RegSetValueExA(key, "EventMessageFile", 0, REG_EXPAND_SZ,
                                 reinterpret_cast<const BYTE*>(message_file.c_str()),
                                 static_cast<DWORD>(message_file.size() + 1)))) {
    rc = -2;
  } else {
    // Error, warning and information.
    DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    if (!Recorded(::RegSetValueExA(key, "TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                                   sizeof types))) {
      rc = -3;
    }
  }
  ::RegCloseKey(key);
  return rc;
}

}  // namespace platform
