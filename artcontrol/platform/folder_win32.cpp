#include "artcontrol/platform/folder.h"

#include <windows.h>

#include "artcontrol/platform/win32/wide_text.h"

namespace tilvo::platform {

std::string FindFileIgnoringCase(const std::string& folder, std::string_view name) {
  // Windows file names already compare without regard to case.
  const std::string path = folder + std::string(name);
  const DWORD attributes = ::GetFileAttributesW(Utf16FromUtf8(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};
  return path;
}

}  // namespace tilvo::platform
