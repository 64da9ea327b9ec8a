#include "artcontrol/platform/environment.h"

#include <windows.h>

#include "artcontrol/platform/win32/wide_text.h"

namespace tilvo::platform {

std::string EnvironmentValue(const std::string& name) {
  const std::wstring wide = Utf16FromUtf8(name);
  const DWORD needed = ::GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::wstring value(needed, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(wide.c_str(), value.data(), needed);
  value.resize(length < needed ? length : 0);
  return Utf8FromUtf16(value);
}

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  return ::SetEnvironmentVariableW(Utf16FromUtf8(name).c_str(), Utf16FromUtf8(value).c_str()) != 0;
}

bool UnsetEnvironmentValue(const std::string& name) {
  return ::SetEnvironmentVariableW(Utf16FromUtf8(name).c_str(), nullptr) != 0;
}

}  // namespace tilvo::platform
