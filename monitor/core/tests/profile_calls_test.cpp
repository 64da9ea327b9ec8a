// What both platforms' profile-string calls must do for the monitor. The
// suite is instantiated for the calls over the file's text (every build) and
// for the system's own calls (the Windows build).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "monitor/core/tests/profile_calls.h"
#include "testing/temp_folder.h"

namespace monitor::testing {
namespace {

using testing_support::TempFolder;

TEST_P(ProfileCalls, MissingFileSectionOrKeyIsEmpty) {
  TempFolder folder;
  const std::string file = SettingsFilePath(folder.Dir());
  EXPECT_EQ(ReadIniValue(*profile_, "Settings", "HOST", file), "");
  folder.WriteText("Configuration.ini", "[Other]\r\nHOST=a\r\n[Settings]\r\nPORT=1\r\n");
  EXPECT_EQ(ReadIniValue(*profile_, "Settings", "HOST", file), "");
  EXPECT_EQ(ReadIniValue(*profile_, "settings", "port", file), "1");
  EXPECT_EQ(ReadIniValue(*profile_, "Settings", "HOST", folder.File("no such folder/x.ini")), "");
}

TEST_P(ProfileCalls, ValuesAreTrimmedUnquotedAndStopAt749Characters) {
  struct Row {
    std::string line;
    std::string value;
  };
  const Row rows[] = {
      {"host=a", "a"},
      {"  HOST  =  spaced out  ", "spaced out"},
      {"HOST=\"quoted \"", "quoted "},
      {"HOST=" + std::string(749, 'h'), std::string(749, 'h')},
      {"HOST=" + std::string(750, 'h'), std::string(749, 'h')},
      {"HOST=" + std::string(5000, 'h'), std::string(749, 'h')},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    folder.WriteText("Configuration.ini", "[Settings]\r\n" + row.line + "\r\n");
    EXPECT_EQ(ReadIniValue(*profile_, "Settings", "HOST", SettingsFilePath(folder.Dir())),
              row.value)
        << row.line.substr(0, 40);
  }
}

TEST_P(ProfileCalls, WritesReplaceOrAddAndKeepTheRest) {
  TempFolder folder;
  const std::string file = SettingsFilePath(folder.Dir());
  WriteIniValue(*profile_, "Settings", "host", "first", file);
  folder.WriteText("Configuration.ini", "[Window]\r\nLeft=10\r\n[Settings]\r\nhost=old\r\n");
  WriteIniValue(*profile_, "Settings", "host", "new.example", file);
  WriteIniValue(*profile_, "Settings", "Port", "2593", file);
  EXPECT_EQ(ReadIniValue(*profile_, "Settings", "HOST", file), "new.example");
  EXPECT_EQ(ReadIniValue(*profile_, "Settings", "PORT", file), "2593");
  EXPECT_EQ(ReadIniValue(*profile_, "Window", "Left", file), "10");
  const std::string text = folder.Read("Configuration.ini");
  EXPECT_NE(text.find("PORT=2593"), std::string::npos) << text;
}

TEST_P(ProfileCalls, MissingFolderIsIgnored) {
  TempFolder folder;
  const std::string file = folder.File("missing/Configuration.ini");
  WriteIniValue(*profile_, "Settings", "HOST", "h", file);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(ReadIniValue(*profile_, "Settings", "HOST", file), "");
}

}  // namespace
}  // namespace monitor::testing
