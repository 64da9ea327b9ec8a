#include <windows.h>

#include <gtest/gtest.h>

#include "service/platform/last_error.h"
#include "service/platform/process.h"

namespace platform {
namespace {

TEST(ProgramsOnWindows, RunToolKeepsWhatAProgramPrinted) {
  ToolRun run = RunTool({"cmd", "/c", "echo out& echo err 1>&2& exit 3"});
  EXPECT_EQ(run.start_error, 0);
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.out.rfind("out", 0), 0u) << run.out;
  EXPECT_EQ(run.err.rfind("err", 0), 0u) << run.err;
  // Arguments with blanks and quotes arrive whole.
  run = RunTool({"cmd", "/c", "echo", "two words", "a\"quote"});
  EXPECT_NE(run.out.find("\"two words\""), std::string::npos) << run.out;

  ToolRun missing = RunTool({"orvosvr-no-such-program"});
  EXPECT_EQ(missing.start_error, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.exit_code, -1);
  EXPECT_EQ(RunAndWait({"cmd", "/c", "exit 7"}), 7);
}

TEST(ProgramsOnWindows, AFailedStartGivesTheSystemsError) {
  char folder[MAX_PATH];
  ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0u);
  int error = StartDetached(std::string(folder) + "orvosvr-no-such\\gyrionsvr.exe", folder, "");
  EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
  EXPECT_EQ(StartDetached(std::string(folder) + "gyrionsvr.exe", folder, ""), ERROR_FILE_NOT_FOUND);
  EXPECT_STREQ(PlatformName(), "Win32");
}

TEST(ProgramsOnWindows, ErrorTextsComeFromTheSystemOnOneLine) {
  char text[256] = {};
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
                             0, text, sizeof text, nullptr);
  ASSERT_GT(n, 2u);
  ASSERT_EQ(std::string(text + n - 2), "\r\n");
  std::string system_text(text, n - 2);
  EXPECT_EQ(ErrorText(ERROR_FILE_NOT_FOUND), system_text);
  EXPECT_EQ(ErrorText(0x7FFF7FFF), "");
  SetLastError(ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(LastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(LastErrorText(), system_text);
  SetLastError(1, "the tool's own words");
  EXPECT_EQ(LastErrorText(), "the tool's own words");
  ::SetLastError(ERROR_ACCESS_DENIED);
  RecordSystemError();
  EXPECT_EQ(LastError(), ERROR_ACCESS_DENIED);
}

}  // namespace
}  // namespace platform
