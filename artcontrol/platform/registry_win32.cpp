#include "artcontrol/platform/registry.h"

#include <cstring>

#include <windows.h>

#include "artcontrol/platform/win32/wide_text.h"

namespace tilvo::platform {
namespace {

// The client's reader queries into 260 bytes, the terminating zero included.
constexpr DWORD kValueBufferSize = 260;

// valueName of HKEY_LOCAL_MACHINE\keyPath in one view of the registry.
RegistryRead ReadInView(const std::string& keyPath, const std::string& valueName, REGSAM view, std::string& value) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    return RegistryRead::kNoKey;
  }
  char buffer[kValueBufferSize] = {};
  DWORD size = sizeof buffer;
  // The value's type is not checked; a value that does not fit fails with ERROR_MORE_DATA.
  const LSTATUS status =
      ::RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return RegistryRead::kNoValue;
  value = Utf8FromAnsi(std::string_view(buffer, ::strnlen(buffer, size)));
  return RegistryRead::kRead;
}

}  // namespace

RegistryRead ReadClientRegistryValue(std::string_view keyPath, std::string_view valueName, std::string& value) {
  const std::string key(keyPath);
  const std::string name(valueName);
  // The client is a 32-bit program whose installer writes the 32-bit view; a
  // module of the other width finds its key there when its own view has none.
  constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  const RegistryRead own = ReadInView(key, name, 0, value);
  return own == RegistryRead::kNoKey ? ReadInView(key, name, kOtherView, value) : own;
}

}  // namespace tilvo::platform
