#include "service/platform/event_log.h"

#include <syslog.h>

#include <mutex>

namespace platform {

namespace {

// openlog keeps the identity's pointer until closelog, and entries from two
// threads must not share one registration.
std::mutex g_guard;
EventHook g_hook;

int Priority(EventType type) {
  switch (type) {
    case EventType::kError:
      return LOG_ERR;
    case EventType::kWarning:
      return LOG_WARNING;
    case EventType::kInformation:
      break;
  }
  return LOG_INFO;
}

}  // namespace

void WriteEvent(const std::string& source, const EventEntry& entry) {
  std::string text = entry.text;
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
    text.resize(text.size() - 2);
  } else if (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  std::lock_guard<std::mutex> lock(g_guard);
  if (g_hook) {
    g_hook(source, entry.type, text);
    return;
  }
  // Registered for this one entry and deregistered after it, as an event
  // source is.
  ::openlog(source.c_str(), LOG_PID, LOG_DAEMON);
  ::syslog(Priority(entry.type), "%s", text.c_str());
  ::closelog();
}

void SetEventHook(EventHook hook) {
  std::lock_guard<std::mutex> lock(g_guard);
  g_hook = std::move(hook);
}

int RegisterEventLogSource(const std::string& /*source*/, const std::string& /*message_file*/) { return 0; }

}  // namespace platform
