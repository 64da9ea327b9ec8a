// The system's event log, where the service's own events go: the Windows
// Application event log under the event source's name, with the texts of
// the executable's message table; on Linux, syslog under that identity.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Event types as the message table numbers them.
enum class EventType : uint16_t {
  kError = 1,
  kWarning = 2,
  kInformation = 4,
};

// One entry of the event log.
struct EventEntry {
  uint32_t id;                       // the message table's id
  EventType type;
  std::vector<std::string> inserts;  // insertion strings, in order
  std::string text;                  // the table's text with the inserts filled in
};

// Writes `entry` under the event source `source`: on Windows the id and its
// insertion strings (the event viewer takes the text from the message
// table), on Linux the text at the priority of the type (error, warning,
// information), without the line end at its end.
void WriteEvent(const std::string& source, const EventEntry& entry);

// Where entries go instead of the event log while it is set (for tests); it
// receives the text that syslog would, without its line end. An empty hook
// restores the log.
using EventHook = std::function<void(const std::string& source, EventType type, const std::string& text)>;
void SetEventHook(EventHook hook);

// Registers `source` as an event source whose texts are in the message table
// of `message_file`, for all three types. On Windows: the Application log's
// key for the source with "EventMessageFile" and "TypesSupported"; on Linux
// nothing, as syslog takes any identity. 0; -1 when the key cannot be
// created, -2 when "EventMessageFile" cannot be set, -3 when "TypesSupported"
// cannot be set (the last error set).
int RegisterEventLogSource(const std::string& source, const std::string& message_file);

}  // namespace platform
