#include <windows.h>

#include <gtest/gtest.h>

#include "service/host/event_messages.h"
#include "service/platform/event_log.h"

namespace platform {
namespace {

// The message table compiled into orvosvr.exe holds the service's table, row
// for row: the event viewer formats each id's text with the inserts exactly
// as the service's own formatter does.
TEST(MessageTable, TheExecutableHoldsEveryRow) {
  HMODULE module = ::LoadLibraryExA(ORVOSVR_BINARY, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << ORVOSVR_BINARY;
  EXPECT_NE(::FindResourceExA(module, MAKEINTRESOURCEA(11), MAKEINTRESOURCEA(1),
                              MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
            nullptr);
  const char* inserts[] = {"Orvo Server - Northmoor", "The exit code is 5"};
  for (const host::EventMessage& row : host::EventMessages()) {
    char text[1024] = {};
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, row.id, 1033, text,
                               sizeof text, reinterpret_cast<va_list*>(const_cast<char**>(inserts)));
    EXPECT_EQ(std::string(text, n), host::FillInserts(row.text, {inserts[0], inserts[1]})) << std::hex << row.id;
  }
  char text[64];
  EXPECT_EQ(::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, module, 0x600003EA, 1033,
                             text, sizeof text, nullptr),
            0u);
  ::FreeLibrary(module);
}

TEST(EventSource, RegistrationWritesTheApplicationLogKey) {
  std::string source = "orvosvr test " + std::to_string(::GetCurrentProcessId());
  std::string key = "System\\CurrentControlSet\\Services\\EventLog\\Application\\" + source;
  ASSERT_EQ(RegisterEventLogSource(source, "C:\\games\\moor\\orvosvr.exe"), 0);
  char file[MAX_PATH] = {};
  DWORD size = sizeof file;
  DWORD type = 0;
  EXPECT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "EventMessageFile", RRF_RT_ANY | RRF_NOEXPAND, &type,
                           file, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(std::string(file, size), std::string("C:\\games\\moor\\orvosvr.exe") + '\0');
  DWORD types = 0;
  size = sizeof types;
  EXPECT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "TypesSupported", RRF_RT_REG_DWORD, nullptr, &types, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(types, 7u);
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

TEST(EventSource, TheHookTakesTheTextWithoutItsLineEnd) {
  std::vector<std::string> seen;
  SetEventHook([&seen](const std::string& source, EventType type, const std::string& text) {
    seen.push_back(source + "|" + std::to_string(static_cast<int>(type)) + "|" + text);
  });
  WriteEvent("orvosvr", EventEntry{0x600003E8, EventType::kInformation, {"x"}, "Attempting to start the x service.\r\n"});
  SetEventHook(nullptr);
  EXPECT_EQ(seen, std::vector<std::string>{"orvosvr|4|Attempting to start the x service."});
}

}  // namespace
}  // namespace platform
