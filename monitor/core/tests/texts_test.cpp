// The small tables and conversions: settings texts, ports, console bytes.
#include <gtest/gtest.h>

#include "monitor/core/console_charset.h"
#include "monitor/core/monitor_texts.h"
#include "monitor/core/telnet_socket.h"

namespace monitor {
namespace {

TEST(BuildText, EveryTextNamesHostAndPort) {
  const MonitorSettings settings{"gs.example", "2593"};
  struct Row {
    SettingsText which;
    const char* text;
  };
  const Row rows[] = {
      {SettingsText::kConnectTip, "Connect to: gs.example @ port 2593"},
      {SettingsText::kDisconnectTip, "Disconnect from: gs.example:2593"},
      {SettingsText::kConnectingStatus, "Status: Connecting to gs.example:2593"},
      {SettingsText::kConnectedStatus, "Status: Connected to gs.example:2593"},
      {SettingsText::kFailedStatus, "Status: Failed to connect to gs.example:2593"},
      {SettingsText::kClosedStatus, "Status: Disconnected from gs.example:2593"},
      {SettingsText::kCancelledStatus, "Status: Cancelled Connection to gs.example:2593"},
  };
  for (const Row& row : rows) EXPECT_EQ(BuildText(row.which, settings), row.text);
}


TEST(ParsePort, AcceptsOnlyRealPorts) {
  struct Row {
    const char* text;
    std::optional<std::uint16_t> port;
  };
  const Row rows[] = {
      {"2593", 2593},     {" 80 ", 80},         {"\t1", 1},           {"65535", 65535},
      {"00023", 23},      {"0", std::nullopt},  {"65536", std::nullopt}, {"99999", std::nullopt},
      {"123456", std::nullopt}, {"", std::nullopt}, {"  ", std::nullopt}, {"-1", std::nullopt},
      {"+80", std::nullopt}, {"80a", std::nullopt}, {"8 0", std::nullopt}, {"0x50", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(ParsePort(row.text), row.port) << row.text;
}

TEST(ConsoleCharset, EveryByteBecomesOneCharacterAndBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') all += static_cast<char>(b);
  }
  const std::string text = ConsoleDecoder().Decode(all);
  EXPECT_EQ(text.size(), 126u + 2 * 128u);
  EXPECT_EQ(TextToConsoleBytes(text), all);
}

TEST(ConsoleCharset, TextOutsideLatin1BecomesQuestionMarks) {
  struct Row {
    const char* text;
    const char* bytes;
  };
  const Row rows[] = {
      {"plain", "plain"},
      {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
      {"\xE2\x82\xAC", "?"},            // the euro sign
      {"\xF0\x9F\x98\x80!", "?!"},      // an emoji
      {"\xC3", "?"},                    // a cut sequence
      {"\xC3(", "?("},                  // a lead byte without its follower
      {"\x80x", "?x"},                  // a stray follower
      {"\xC1\x81", "?"},                // an overlong form
  };
  for (const Row& row : rows) EXPECT_EQ(TextToConsoleBytes(row.text), row.bytes) << row.text;
}

}  // namespace
}  // namespace monitor
