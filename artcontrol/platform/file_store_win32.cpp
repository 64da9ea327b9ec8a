#include "artcontrol/platform/file_store.h"

#include <windows.h>

#include "artcontrol/platform/win32/wide_text.h"

namespace tilvo::platform {
namespace {

// Creates the folder and its missing parents; true when it exists afterwards as a folder.
bool MakeFolders(const std::wstring& folder) {
  if (folder.empty()) return true;
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::size_t slash = folder.find_last_of(L"\\/");
  // "C:" and "\\server\share" end the climb: they exist or nothing can be made.
  if (slash != std::wstring::npos && slash > 0 && folder[slash - 1] != L':' && folder[slash - 1] != L'\\' &&
      !MakeFolders(folder.substr(0, slash))) {
    return false;
  }
  return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool PathExists(const std::string& path) {
  return !path.empty() && ::GetFileAttributesW(Utf16FromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
  const std::wstring target = Utf16FromUtf8(path);
  const std::size_t slash = target.find_last_of(L"\\/");
  if (target.empty() || (slash != std::wstring::npos && slash + 1 == target.size())) return false;
  if (slash != std::wstring::npos && slash > 0 && !MakeFolders(target.substr(0, slash))) return false;

  // The new text goes to a temporary file beside the old one, then replaces it in one move.
  const std::wstring temporary = target + L".new" + std::to_wstring(::GetCurrentProcessId());
  const HANDLE file =
      ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    ok = ::WriteFile(file, bytes.data(), chunk, &written, nullptr) && written > 0;
    bytes.remove_prefix(written);
  }
  ok = ::FlushFileBuffers(file) && ok;
  ok = ::CloseHandle(file) && ok;
  ok = ok && ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) ::DeleteFileW(temporary.c_str());
  return ok;
}

}  // namespace tilvo::platform
