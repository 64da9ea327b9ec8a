#include "monitor/core/profile_strings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "monitor/core/profile_file.h"
#include "monitor/core/tests/profile_calls.h"
#include "testing/temp_folder.h"

namespace monitor::testing {
namespace {

using testing_support::TempFolder;

INSTANTIATE_TEST_SUITE_P(FileText, ProfileCalls, ::testing::Values([] {
                           return std::unique_ptr<ProfileStrings>(new TextProfileStrings);
                         }));

TEST(ProfileFileText, CutNeverSplitsACharacter) {
  TempFolder folder;
  // 748 letters, then a two-byte character across the 749th position.
  folder.WriteText("Configuration.ini", "[Settings]\nHOST=" + std::string(748, 'h') + "\xC3\xA9\n");
  TextProfileStrings profile;
  EXPECT_EQ(ReadIniValue(profile, "Settings", "HOST", SettingsFilePath(folder.Dir())),
            std::string(748, 'h'));
}

TEST(ProfileFileText, WritesTheKeyInUpperCaseBesideTheOldFile) {
  TempFolder folder;
  folder.WriteText("Configuration.ini", "[Settings]\r\nhost=old\r\n");
  TextProfileStrings profile;
  WriteIniValue(profile, "Settings", "host", "new", SettingsFilePath(folder.Dir()));
  EXPECT_EQ(folder.Read("Configuration.ini"), "[Settings]\r\nHOST=new\r\n");
  EXPECT_FALSE(folder.Exists("Configuration.ini.new"));
}

}  // namespace
}  // namespace monitor::testing
