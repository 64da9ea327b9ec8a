// The Windows front end's own pieces: the system's profile-string calls held
// to the same rules as the Linux ones, the folder the monitor keeps its files
// in, and the text conversions between the core and the windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "monitor/core/tests/profile_calls.h"
#include "testing/temp_folder.h"
#include "monitor/win32/monitor_folder.h"
#include "monitor/win32/wide_text.h"
#include "monitor/win32/win32_profile_strings.h"

namespace monitor::testing {
namespace {

using testing_support::TempFolder;

INSTANTIATE_TEST_SUITE_P(SystemCalls, ProfileCalls, ::testing::Values([] {
                           return std::unique_ptr<ProfileStrings>(new Win32ProfileStrings);
                         }));

TEST(Win32ProfileStrings, ValuesTravelInTheAnsiCodePage) {
  TempFolder folder;
  const std::string file = SettingsFilePath(folder.Dir());
  Win32ProfileStrings profile;
  // "café" written by the monitor is one byte per letter in the file.
  WriteIniValue(profile, "Settings", "HOST", "caf\xC3\xA9", file);
  EXPECT_EQ(ReadIniValue(profile, "Settings", "HOST", file), "caf\xC3\xA9");
  EXPECT_NE(folder.Read("Configuration.ini").find("HOST=caf" + Utf8ToAnsi("\xC3\xA9")),
            std::string::npos);
}

TEST(MonitorFolder, ProgramFolderWhenWritableElseTheUsersFolder) {
  std::printf("[ note ] Wine lets its user write every folder: a folder that does not exist stands "
              "for one the user may not write, such as Program Files\n");
  TempFolder program;
  TempFolder home;
  const std::string user = home.File("GyrionMonitor");
  EXPECT_EQ(ChooseMonitorFolder(program.Path(), user), program.Path());
  EXPECT_FALSE(std::filesystem::exists(user));
  EXPECT_TRUE(std::filesystem::is_empty(program.Path())) << "the probe leaves nothing behind";
  EXPECT_EQ(ChooseMonitorFolder(program.File("not there"), user), user);
  EXPECT_TRUE(std::filesystem::is_directory(user));
}

TEST(WideText, ConsoleLineEndsBecomeTheBoxesCrLfAndBack) {
  struct Row {
    const char* text;
    const wchar_t* box;
  };
  const Row rows[] = {
      {"a\nb\n", L"a\r\nb\r\n"},
      {"caf\xC3\xA9 \xC3\xBF", L"caf\u00E9 \u00FF"},
      {"", L""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ToBoxText(row.text), row.box) << row.text;
    EXPECT_EQ(FromBoxText(row.box), row.text) << row.text;
  }
}

}  // namespace
}  // namespace monitor::testing
