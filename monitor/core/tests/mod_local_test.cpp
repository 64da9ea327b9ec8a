#include "monitor/core/mod_local.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "monitor/core/tests/temp_folder.h"

namespace monitor {
namespace {

using testing::TempFolder;

TEST(ReadIniValue, MissingFileSectionOrKeyIsEmpty) {
  TempFolder folder;
  const std::string file = SettingsFilePath(folder.Path());
  EXPECT_EQ(ReadIniValue("Settings", "HOST", file), "");
  folder.Write("Configuration.ini", "[Other]\nHOST=a\n[Settings]\nPORT=1\n");
  EXPECT_EQ(ReadIniValue("Settings", "HOST", file), "");
  EXPECT_EQ(ReadIniValue("Settings", "PORT", file), "1");
  EXPECT_EQ(ReadIniValue("Settings", "HOST", folder.File("no such folder/Configuration.ini")),
            "");
}

TEST(ReadIniValue, ValuesStopAt749Characters) {
  struct Row {
    size_t length;
    size_t read;
  };
  const Row rows[] = {{748, 748}, {749, 749}, {750, 749}, {5000, 749}};
  for (const Row& row : rows) {
    TempFolder folder;
    folder.Write("Configuration.ini", "[Settings]\nHOST=" + std::string(row.length, 'h') + "\n");
    EXPECT_EQ(ReadIniValue("Settings", "HOST", SettingsFilePath(folder.Path())).size(), row.read)
        << row.length;
  }
}

TEST(ReadIniValue, CutNeverSplitsACharacter) {
  TempFolder folder;
  // 748 letters, then a two-byte character across the 749th position.
  folder.Write("Configuration.ini", "[Settings]\nHOST=" + std::string(748, 'h') + "\xC3\xA9\n");
  EXPECT_EQ(ReadIniValue("Settings", "HOST", SettingsFilePath(folder.Path())),
            std::string(748, 'h'));
}

TEST(WriteIniValue, WritesTheKeyInUpperCaseAndKeepsTheRest) {
  TempFolder folder;
  const std::string file = SettingsFilePath(folder.Path());
  folder.Write("Configuration.ini", "[Window]\r\nLeft=10\r\n[Settings]\r\nhost=old\r\n");
  WriteIniValue("Settings", "host", "new.example", file);
  WriteIniValue("Settings", "Port", "2593", file);
  EXPECT_EQ(folder.Read("Configuration.ini"),
            "[Window]\r\nLeft=10\r\n[Settings]\r\nHOST=new.example\r\nPORT=2593\r\n");
  EXPECT_EQ(ReadIniValue("settings", "HOST", file), "new.example");
  EXPECT_FALSE(folder.Exists("Configuration.ini.new"));
}

TEST(WriteIniValue, UnwritableFolderIsIgnored) {
  TempFolder folder;
  const std::string file = folder.File("missing/Configuration.ini");
  WriteIniValue("Settings", "HOST", "h", file);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(ReadIniValue("Settings", "HOST", file), "");
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

TEST(SaveConsoleLog, AppendsOneCrLfRecordPerSave) {
  struct Row {
    const char* console;
    const char* record;
  };
  const Row rows[] = {
      {"one line", "[ 3/7/24 21:05:01 ]\r\none line\r\n\r\n"},
      {"a\nb\n", "[ 3/7/24 21:05:01 ]\r\na\r\nb\r\n\r\n\r\n"},
      {"a\r\nb", "[ 3/7/24 21:05:01 ]\r\na\r\nb\r\n\r\n"},
      {"", "[ 3/7/24 21:05:01 ]\r\n\r\n\r\n"},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    const LocalStamp now{2024, 3, 7, "3/7/24", "21:05:01"};
    ASSERT_TRUE(SaveConsoleLog(folder.Path(), now, row.console));
    ASSERT_TRUE(SaveConsoleLog(folder.Path(), now, row.console));
    EXPECT_EQ(folder.Read("GX-2024-03-07.log"), std::string(row.record) + row.record)
        << row.console;
  }
}

TEST(SaveConsoleLog, ReportsAFileItCannotOpen) {
  TempFolder folder;
  const LocalStamp now{2024, 3, 7, "3/7/24", "21:05:01"};
  EXPECT_FALSE(SaveConsoleLog(folder.File("missing"), now, "text"));
  std::filesystem::create_directory(folder.File("GX-2024-03-07.log"));
  EXPECT_FALSE(SaveConsoleLog(folder.Path(), now, "text"));
}

}  // namespace
}  // namespace monitor
