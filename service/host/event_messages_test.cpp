#include "service/host/event_messages.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(EventMessages, InsertsFillAsTheMessageFormatterDoes) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<std::string> inserts;
    std::string want;
  };
  const Case cases[] = {
      {"numbered insert with format", "The %1!s! service started successfully.\r\n", {"Orvo Server - Moor"},
       "The Orvo Server - Moor service started successfully.\r\n"},
      {"second insert", "The %1!s! encountered a problem.  ServiceStart() failed. %2!s!.\r\n",
       {"Orvo Server", "An unexpected error occurred (rc = -4).\n"},
       "The Orvo Server encountered a problem.  ServiceStart() failed. An unexpected error occurred (rc = -4).\n.\r\n"},
      {"an insert is not formatted again", "%1!s!\r\n", {"100%2!s! done"}, "100%2!s! done\r\n"},
      {"printf conversion is no insert", "The %s service was unable to create named pipe - %1!s!.\r\n",
       {"Orvo Server", "File exists (0x11)"}, "The s service was unable to create named pipe - Orvo Server.\r\n"},
      {"missing insert shows its number", "%1!s! and %2!s!", {"one"}, "one and %2"},
      {"no inserts at all", "Attempting to stop the %1!s!.\r\n", {}, "Attempting to stop the %1.\r\n"},
      {"bare number, two digits", "%1-%10-%2", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, "a-j-b"},
      {"percent sign and zero", "100%% sure%0 never shown", {}, "100% sure"},
      {"percent at the end", "trailing %", {}, "trailing "},
  };
  for (const Case& c : cases) EXPECT_EQ(FillInserts(c.text, c.inserts), c.want) << c.name;
}

TEST(EventMessages, TypesAgreeWithTheSeverityOfTheirIds) {
  // The top two bits of an id are its severity: 1 information, 2 warning, 3 error.
  const uint32_t ids[] = {kEventStarting,   kEventStarted,      kEventStopping,   kEventStopped,
                          kEventStatusRefused, kEventStartFailed, kEventAbnormalStop, kEventPipeExists,
                          kEventNoOutputMutex, 0x60000449,        0x600004AD,       0xA000044A,
                          0xA00004AE,       0xE000044B,         0xE00004AF};
  for (uint32_t id : ids) {
    const EventMessage* message = FindEventMessage(id);
    ASSERT_NE(message, nullptr) << std::hex << id;
    platform::EventType want = (id >> 30) == 1   ? platform::EventType::kInformation
                               : (id >> 30) == 2 ? platform::EventType::kWarning
                                                 : platform::EventType::kError;
    EXPECT_EQ(message->type, want) << std::hex << id;
    EXPECT_TRUE(std::string(message->text).ends_with("\r\n")) << std::hex << id;
  }
  EXPECT_EQ(FindEventMessage(0x600003EA), nullptr);
}

}  // namespace
}  // namespace host
