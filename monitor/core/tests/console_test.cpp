// The console's text on its way in and out: line ends, the log's records and
// their pieces, the console's limit and the command history.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "monitor/core/command_history.h"
#include "monitor/core/console_charset.h"
#include "monitor/core/console_limit.h"
#include "monitor/core/console_log.h"
#include "testing/temp_folder.h"

namespace monitor {
namespace {

using testing_support::TempFolder;

TEST(ConsoleDecoder, LineEndsBecomeOneNewlineAcrossArrivals) {
  struct Row {
    std::vector<std::string> arrivals;
    const char* text;
  };
  const Row rows[] = {
      {{"a\r\nb\nc\rd"}, "a\nb\nc\nd"},
      {{"a\r", "\nb"}, "a\nb"},
      {{"a\r", "\r\nb"}, "a\n\nb"},
      {{"a\n", "\nb"}, "a\n\nb"},
      {{"a\n\r", "b"}, "a\n\nb"},
      {{"\xE9\r", "", "\n\xFF"}, "\xC3\xA9\n\xC3\xBF"},
  };
  for (const Row& row : rows) {
    ConsoleDecoder decoder;
    std::string text;
    for (const std::string& bytes : row.arrivals) text += decoder.Decode(bytes);
    EXPECT_EQ(text, row.text) << row.arrivals[0];
  }
}

TEST(ConsoleDecoder, ResetForgetsAPendingCarriageReturn) {
  ConsoleDecoder decoder;
  decoder.Decode("a\r");
  decoder.Reset();
  EXPECT_EQ(decoder.Decode("\nb"), "\nb");
}

TEST(ConsoleLog, RecordsWholeOrInPieces) {
  const LocalStamp day1{2024, 3, 7, "3/7/24", "9:05 PM"};
  const LocalStamp day2{2024, 3, 8, "3/8/24", "1:00 AM"};
  TempFolder folder;
  ConsoleLog log(folder.Dir());
  EXPECT_TRUE(log.Save(day1, "caf\xC3\xA9\nend"));
  EXPECT_FALSE(log.Begun());
  log.Append(day1, "dropped 1\n");
  EXPECT_TRUE(log.Begun());
  log.Append(day2, "dropped 2\n");
  // The record stays in the file where it began.
  EXPECT_TRUE(log.Save(day2, "rest"));
  EXPECT_EQ(log.FileName(), "GX-2024-03-07.log");
  EXPECT_EQ(folder.Read("GX-2024-03-07.log"),
            "[ 3/7/24 9:05 PM ]\r\ncaf\xE9\r\nend\r\n\r\n"
            "[ 3/7/24 9:05 PM ]\r\ndropped 1\r\ndropped 2\r\nrest\r\n\r\n");
  EXPECT_FALSE(folder.Exists("GX-2024-03-08.log"));
}

TEST(ConsoleLog, AnyFailedPieceFailsTheSave) {
  const LocalStamp now{2024, 3, 7, "3/7/24", "21:05:01"};
  TempFolder folder;
  std::filesystem::create_directory(folder.File("GX-2024-03-07.log"));
  ConsoleLog log(folder.Dir());
  EXPECT_FALSE(log.Save(now, "text"));
  log.Append(now, "lost\n");
  std::filesystem::remove(folder.File("GX-2024-03-07.log"));
  EXPECT_FALSE(log.Save(now, "rest"));
  // The next record starts with a clean slate.
  EXPECT_TRUE(log.Save(now, "fine"));
  EXPECT_FALSE(ConsoleLog(folder.File("missing") + "/").Save(now, "text"));
}

TEST(ConsoleLogName, UsesTheCalendarDateWhateverTheSystemFormat) {
  struct Row {
    LocalStamp stamp;
    const char* name;
  };
  const Row rows[] = {
      {{2024, 3, 7, "3/7/24", "t"}, "GX-2024-03-07.log"},
      {{2025, 12, 31, "31.12.2025", "t"}, "GX-2025-12-31.log"},
      {{1999, 1, 1, "1999/01/01", "t"}, "GX-1999-01-01.log"},
  };
  for (const Row& row : rows) EXPECT_EQ(ConsoleLogName(row.stamp), row.name);
}

TEST(ConsoleLimit, KilobytesFromOneToAGigabyteElseTheDefault) {
  struct Row {
    const char* text;
    size_t chars;
  };
  constexpr size_t kDefault = 4096 * 1024;
  const Row rows[] = {
      {"1", 1024},         {"64", 65536},     {"1048576", 1073741824}, {"", kDefault},
      {"0", kDefault},     {"1048577", kDefault}, {"99999999", kDefault}, {"-5", kDefault},
      {"12k", kDefault},
  };
  for (const Row& row : rows) EXPECT_EQ(ConsoleLimit(row.text), row.chars) << row.text;
}

TEST(ConsoleCut, DropsWholeLinesWhereItCan) {
  struct Row {
    const char* text;
    size_t keep;
    size_t cut;
  };
  const Row rows[] = {
      {"abc\ndef\n", 8, 0},
      {"abc\ndef\n", 4, 4},
      {"abc\ndef\n", 5, 4},
      {"abc\ndef\n", 3, 8},
      {"abcdefgh", 3, 5},
      {"ab\xC3\xA9xy", 3, 4},  // never inside a character
      {"a\nbcdefgh", 3, 6},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ConsoleCut(row.text, row.keep), row.cut) << row.text << " " << row.keep;
  }
}

TEST(CommandHistory, KeepsTheNewestThousandLines) {
  CommandHistory history;
  for (int i = 0; i < 1005; ++i) history.Add(std::to_string(i));
  std::string oldest;
  while (auto line = history.Older("")) oldest = *line;
  EXPECT_EQ(oldest, "5");
  EXPECT_FALSE(CommandHistory().Newer());
}

}  // namespace
}  // namespace monitor
