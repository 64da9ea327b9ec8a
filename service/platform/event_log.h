// The system log, where the service's own events go: the entries that the
// Windows Application event log would hold, written to syslog.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// Event types as the message table numbers them.
enum class EventType : uint16_t {
  kError = 1,
  kWarning = 2,
  kInformation = 4,
};

// Writes one entry under the identity `source` at the priority of `type`
// (error, warning, information). A line end at the end of `text` is dropped:
// each entry is one record already.
void ReportEvent(const std::string& source, EventType type, const std::string& text);

// Where entries go instead of the system log while it is set (for tests);
// it receives what the system log would. An empty hook restores the log.
using EventHook = std::function<void(const std::string& source, EventType type, const std::string& text)>;
void SetEventHook(EventHook hook);

}  // namespace platform
