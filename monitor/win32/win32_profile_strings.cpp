#include "monitor/win32/win32_profile_strings.h"

#include <windows.h>

#include <vector>

#include "monitor/win32/wide_text.h"

namespace monitor {

std::string Win32ProfileStrings::Read(std::string_view section, std::string_view key,
                                      const std::string& file, size_t buffer_size) const {
  if (buffer_size == 0) return {};
  std::vector<char> buffer(buffer_size, '\0');
  const DWORD length = GetPrivateProfileStringA(
      std::string(section).c_str(), std::string(key).c_str(), "", buffer.data(),
      static_cast<DWORD>(buffer.size()), file.c_str());
  return AnsiToUtf8(std::string_view(buffer.data(), length));
}

bool Win32ProfileStrings::Write(std::string_view section, std::string_view key,
                                std::string_view value, const std::string& file) {
  return WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                    Utf8ToAnsi(value).c_str(), file.c_str()) != FALSE;
}

}  // namespace monitor
