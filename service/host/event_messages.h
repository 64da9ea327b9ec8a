// The service's message table: the text and type of every event it writes to
// the system log, by event id, and how an event's insertion strings fill its
// text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "service/platform/event_log.h"

namespace host {

// Event ids the service writes.
inline constexpr uint32_t kEventStarting = 0x600003E8;        // full name
inline constexpr uint32_t kEventStarted = 0x600003E9;         // full name
inline constexpr uint32_t kEventStopping = 0x600003EB;        // full name
inline constexpr uint32_t kEventStopped = 0x600003EC;         // full name
inline constexpr uint32_t kEventStatusRefused = 0xA00003EE;   // "rc = %ld, Err = %ld"
inline constexpr uint32_t kEventStartFailed = 0xE00003EA;     // full name, reason
inline constexpr uint32_t kEventAbnormalStop = 0xE00003ED;    // full name, "The exit code is %ld"
inline constexpr uint32_t kEventPipeExists = 0xE00003EF;      // full name, error text
inline constexpr uint32_t kEventNoOutputMutex = 0xE000045B;   // full name

struct EventMessage {
  uint32_t id;
  platform::EventType type;
  const char* text;  // with inserts %1!s!, %2!s!
};

// The table's entry for `id`, or nullptr when the table has none.
const EventMessage* FindEventMessage(uint32_t id);

// The whole table, row by row (the Windows build compiles its
// message-table resource from it).
std::span<const EventMessage> EventMessages();

// Fills a message text as the system's message formatter does: "%n!s!" and
// "%n" take insertion string n (a missing one shows as "%n"), "%0" ends the
// text, and any other character after "%" stands for itself.
std::string FillInserts(std::string_view text, const std::vector<std::string>& inserts);

}  // namespace host
