#include "service/host/event_messages.h"

namespace host {

namespace {

using platform::EventType;

const EventMessage kMessages[] = {
    {kEventStarting, EventType::kInformation, "Attempting to start the %1!s! service.\r\n"},
    {kEventStarted, EventType::kInformation, "The %1!s! service started successfully.\r\n"},
    {kEventStopping, EventType::kInformation, "Attempting to stop the %1!s!.\r\n"},
    {kEventStopped, EventType::kInformation, "The %1!s! service stopped successfully.\r\n"},
    {kEventStatusRefused, EventType::kWarning, "SetServiceStatus() failed - %1!s!.\r\n"},
    {kEventStartFailed, EventType::kError, "The %1!s! encountered a problem.  ServiceStart() failed. %2!s!.\r\n"},
    {kEventAbnormalStop, EventType::kError, "The %1!s! service terminated abnormally - %2!s!.\r\n"},
    {kEventPipeExists, EventType::kError, "The %s service was unable to create named pipe - %1!s!.\r\n"},
    {kEventNoOutputMutex, EventType::kError,
     "The %1!s! service could not create a required Mutex object.  The service cannot continue.\r\n"},
    // Entries that no path of the service writes.
    {0x60000449, EventType::kInformation, "%1!s!\r\n"},
    {0x600004AD, EventType::kInformation, "%1!s!\r\n"},
    {0xA000044A, EventType::kWarning, "%1!s!\r\n"},
    {0xA00004AE, EventType::kWarning, "%1!s!\r\n"},
    {0xE000044B, EventType::kError, "%1!s!\r\n"},
    {0xE00004AF, EventType::kError, "%1!s!.\r\n"},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::span<const EventMessage> EventMessages() { return kMessages; }

const EventMessage* FindEventMessage(uint32_t id) {
  for (const EventMessage& message : kMessages) {
    if (message.id == id) return &message;
  }
  return nullptr;
}

std::string FillInserts(std::string_view text, const std::vector<std::string>& inserts) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i == text.size()) break;
    if (text[i] == '0') break;
    if (!IsDigit(text[i])) {
      out += text[i++];
      continue;
    }
    // Inserts are numbered 1 to 99.
    size_t n = static_cast<size_t>(text[i++] - '0');
    if (i < text.size() && IsDigit(text[i])) n = n * 10 + static_cast<size_t>(text[i++] - '0');
    if (i < text.size() && text[i] == '!') {
      size_t close = text.find('!', i + 1);
      if (close != std::string_view::npos) i = close + 1;
    }
    if (n >= 1 && n <= inserts.size()) {
      out += inserts[n - 1];
    } else {
      out += "%" + std::to_string(n);
    }
  }
  return out;
}

}  // namespace host
