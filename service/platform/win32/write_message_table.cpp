// Writes the message compiler's source (.mc) for the message table of
// orvosvr.exe from the service's one table of events. It runs on the build
// machine; windmc and windres turn what it writes into the resource, so the
// event viewer shows exactly the texts the service's table holds.
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "service/host/event_messages.h"

namespace {

// The two top bits of an id are its severity.
const char* const kSeverityNames[] = {"Success", "Informational", "Warning", "Error"};

// What the message compiler needs of an id and its text; false, with the
// reason printed, for a row it could not carry.
bool Writable(const host::EventMessage& message) {
  uint32_t id = message.id;
  std::string_view text = message.text;
  const char* problem = nullptr;
  if ((id & 0x20000000u) == 0) {
    problem = "lacks the customer bit";
  } else if ((id & 0x0FFF0000u) != 0) {
    problem = "has a facility";
  } else if (text.size() < 2 || text.substr(text.size() - 2) != "\r\n") {
    problem = "does not end in CR LF";
  } else if (text.substr(0, text.size() - 2).find_first_of("\r\n") != std::string_view::npos) {
    problem = "holds a line break";
  } else if (text == ".\r\n") {
    problem = "is the compiler's end mark";
  }
  if (problem == nullptr) return true;
  std::fprintf(stderr, "event 0x%08X %s\n", static_cast<unsigned>(id), problem);
  return false;
}

}  // namespace

int main() {
  // Language 1033 (English, United States); every id carries the customer
  // bit, which windmc -c sets.
  std::printf("MessageIdTypedef=DWORD\n");
  std::printf("SeverityNames=(Success=0x0 Informational=0x1 Warning=0x2 Error=0x3)\n");
  std::printf("FacilityNames=(None=0x0)\n");
  std::printf("LanguageNames=(English=0x409:MSG00409)\n");
  for (const host::EventMessage& message : host::EventMessages()) {
    if (!Writable(message)) return 1;
    std::string_view text = message.text;
    text.remove_suffix(2);  // the compiler ends each line with CR LF itself
    std::printf("\nMessageId=0x%04X\nSeverity=%s\nFacility=None\nSymbolicName=MSG_%08X\nLanguage=English\n%.*s\n.\n",
                static_cast<unsigned>(message.id & 0xFFFFu), kSeverityNames[message.id >> 30],
                static_cast<unsigned>(message.id), static_cast<int>(text.size()), text.data());
  }
  return 0;
}
