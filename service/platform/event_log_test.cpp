#include "service/platform/event_log.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

TEST(EventLog, EachEntryIsOneRecordWithoutItsLineEnd) {
  struct Entry {
    std::string source;
    EventType type;
    std::string text;
  };
  std::vector<Entry> seen;
  SetEventHook([&](const std::string& source, EventType type, const std::string& text) {
    seen.push_back({source, type, text});
  });
  struct Case {
    std::string text;
    std::string want;
  };
  const Case cases[] = {
      {"The Orvo Server service started successfully.\r\n", "The Orvo Server service started successfully."},
      {"ServiceStart() failed. An unexpected error occurred (rc = -4).\n.\r\n",
       "ServiceStart() failed. An unexpected error occurred (rc = -4).\n."},
      {"a bare line end\n", "a bare line end"},
      {"no line end", "no line end"},
      {"\r\n", ""},
  };
  for (const Case& c : cases) ReportEvent("orvosvr", EventType::kWarning, c.text);
  SetEventHook(nullptr);
  ASSERT_EQ(seen.size(), std::size(cases));
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].text, cases[i].want);
    EXPECT_EQ(seen[i].source, "orvosvr");
    EXPECT_EQ(seen[i].type, EventType::kWarning);
  }
}

}  // namespace
}  // namespace platform
