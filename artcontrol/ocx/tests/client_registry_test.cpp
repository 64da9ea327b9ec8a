// The control finds the game client through the registry entries its
// installers write under HKEY_LOCAL_MACHINE when it is made: the older keys'
// "ExePath" up to its last backslash (the second key only when the first is
// absent), then the current installers' folders and executable.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "com_host.h"

namespace tilvo::ocx::testing {
namespace {

constexpr const char* kFirstKey = "SOFTWARE\\Origin Worlds Online\\Ultima Online\\1.0";
constexpr const char* kSecondKey = "SOFTWARE\\Origin Worlds Online\\Ultima Online Third Dawn\\1.0";
constexpr const char* kClassicKey = "SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Classic";
constexpr const char* kEnhancedKey = "SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Enhanced";

// One key written for a case: its path, and a value (name and bytes in the ANSI code page) or none.
struct Key {
  const char* path;
  const char* valueName = "ExePath";
  std::optional<std::string> data;
};

void Write(const Key& key, REGSAM view) {
  HKEY opened = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.path, 0, nullptr, 0, KEY_WRITE | view, nullptr, &opened, nullptr),
            ERROR_SUCCESS);
  if (key.data) {
    ::RegSetValueExA(opened, key.valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(key.data->c_str()),
                     static_cast<DWORD>(key.data->size() + 1));
  }
  ::RegCloseKey(opened);
}

void RemoveKeys() {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY software = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) == ERROR_SUCCESS) {
      ::RegDeleteTreeA(software, "Origin Worlds Online");
      ::RegDeleteTreeA(software, "Electronic Arts");
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

TEST(ClientRegistry, TheControlTakesTheClientFolderFromTheFirstPlaceThatGivesOne) {
  const std::wstring accented = FromAnsi("C:\\Jeux\\\xE9t\xE9\\");
  const std::string tooLong = "C:\\" + std::string(255, 'x') + "\\c.exe";  // beyond the 260-byte buffer
  const struct {
    const char* name;
    std::vector<Key> keys;
    REGSAM view;
    const wchar_t* mulPath;
  } cases[] = {
      {"the first key", {{kFirstKey, "ExePath", "C:\\Games\\Client\\client.exe"}}, 0, L"C:\\Games\\Client\\"},
      {"the first key without ExePath, the second not consulted",
       {{kFirstKey, "ExePath", std::nullopt}, {kSecondKey, "ExePath", "D:\\Second\\client.exe"}}, 0, L""},
      {"the second key alone", {{kSecondKey, "ExePath", "D:\\Second\\client.exe"}}, 0, L"D:\\Second\\"},
      {"no key", {}, 0, L""},
      {"a value without a backslash", {{kFirstKey, "ExePath", "client.exe"}}, 0, L""},
      {"a value that does not fit", {{kFirstKey, "ExePath", tooLong}}, 0, L""},
      {"a value in the ANSI code page", {{kFirstKey, "ExePath", "C:\\Jeux\\\xE9t\xE9\\client.exe"}}, 0, accented.c_str()},
      {"the first key in the 32-bit view", {{kFirstKey, "ExePath", "E:\\Wow\\client.exe"}}, KEY_WOW64_32KEY,
       L"E:\\Wow\\"},
      {"the 2D client's folder in the 32-bit view", {{kClassicKey, "InstallDir", "C:\\EA\\Classic"}},
       KEY_WOW64_32KEY, L"C:\\EA\\Classic\\"},
      {"an older key before it",
       {{kSecondKey, "ExePath", "D:\\Second\\client.exe"}, {kClassicKey, "InstallDir", "C:\\EA\\Classic\\"}}, 0,
       L"D:\\Second\\"},
      {"the 3D client's executable", {{kEnhancedKey, "ExePath", "C:\\EA\\Enhanced\\client.exe"}}, 0,
       L"C:\\EA\\Enhanced\\"},
  };
  for (const auto& c : cases) {
    if (c.view == KEY_WOW64_32KEY && sizeof(void*) == 4) continue;  // a 32-bit module reads that view anyway
    RemoveKeys();
    for (const Key& key : c.keys) Write(key, c.view);
    ComPtr<IDispatch> control = CreateControl();
    EXPECT_EQ(CallMethod(control.Get(), L"GetMulPath").Text(), c.mulPath) << c.name;
  }
  RemoveKeys();
}

}  // namespace
}  // namespace tilvo::ocx::testing
