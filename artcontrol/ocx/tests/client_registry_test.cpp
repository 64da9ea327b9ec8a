// The control finds the game client through the client's registry keys
// under HKEY_LOCAL_MACHINE when it is made: the first key's "ExePath" up to
// its last backslash, the second key only when the first is absent.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "com_host.h"

namespace tilvo::ocx::testing {
namespace {

constexpr const char* kFirstKey = "SOFTWARE\\Origin Worlds Online\\Ultima Online\\1.0";
constexpr const char* kSecondKey = "SOFTWARE\\Origin Worlds Online\\Ultima Online Third Dawn\\1.0";

// No key, a key without "ExePath", or a key with that value (bytes in the ANSI code page).
struct Key {
  bool exists = false;
  std::optional<std::string> exePath;
};

void Write(const char* path, const Key& key, REGSAM view) {
  if (!key.exists) return;
  HKEY opened = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE | view, nullptr, &opened, nullptr),
            ERROR_SUCCESS);
  if (key.exePath) {
    ::RegSetValueExA(opened, "ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(key.exePath->c_str()),
                     static_cast<DWORD>(key.exePath->size() + 1));
  }
  ::RegCloseKey(opened);
}

void RemoveKeys() {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY software = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) == ERROR_SUCCESS) {
      ::RegDeleteTreeA(software, "Origin Worlds Online");
      ::RegCloseKey(software);
    }
  }
}

// Text in the ANSI code page as the system reads it.
std::wstring FromAnsi(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

TEST(ClientRegistry, TheControlTakesTheClientFolderFromTheFirstKeyThatExists) {
  const std::wstring accented = FromAnsi("C:\\Jeux\\\xE9t\xE9\\");
  const std::string tooLong = "C:\\" + std::string(255, 'x') + "\\c.exe";  // beyond the 260-byte buffer
  const struct {
    const char* name;
    Key first;
    Key second;
    REGSAM view;
    const wchar_t* mulPath;
  } cases[] = {
      {"the first key", {true, "C:\\Games\\Client\\client.exe"}, {}, 0, L"C:\\Games\\Client\\"},
      {"the first key without ExePath, the second not consulted", {true, std::nullopt},
       {true, "D:\\Second\\client.exe"}, 0, L""},
      {"the second key alone", {}, {true, "D:\\Second\\client.exe"}, 0, L"D:\\Second\\"},
      {"no key", {}, {}, 0, L""},
      {"a value without a backslash", {true, "client.exe"}, {}, 0, L""},
      {"a value that does not fit", {true, tooLong}, {}, 0, L""},
      {"a value in the ANSI code page", {true, "C:\\Jeux\\\xE9t\xE9\\client.exe"}, {}, 0, accented.c_str()},
      {"the first key in the 32-bit view", {true, "E:\\Wow\\client.exe"}, {}, KEY_WOW64_32KEY, L"E:\\Wow\\"},
  };
  for (const auto& c : cases) {
    if (c.view == KEY_WOW64_32KEY && sizeof(void*) == 4) continue;  // a 32-bit module reads that view anyway
    RemoveKeys();
    Write(kFirstKey, c.first, c.view);
    Write(kSecondKey, c.second, c.view);
    ComPtr<IDispatch> control = CreateControl();
    EXPECT_EQ(CallMethod(control.Get(), L"GetMulPath").Text(), c.mulPath) << c.name;
  }
  RemoveKeys();
}

}  // namespace
}  // namespace tilvo::ocx::testing
