#include "artcontrol/platform/file_access.h"

#include <windows.h>

#include "artcontrol/platform/win32/wide_text.h"

namespace tilvo::platform {
namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
  if (path.empty()) return;
  // Shared for reading, writing and deleting: the game client may have the
  // file open, or replace it, while the control reads. A folder does not open
  // this way (it would need FILE_FLAG_BACKUP_SEMANTICS).
  const HANDLE file = ::CreateFileW(Utf16FromUtf8(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

ReadOnlyFile::~ReadOnlyFile() {
  if (IsOpen()) ::CloseHandle(Handle(handle_));
}

std::int64_t ReadOnlyFile::Size() const {
  LARGE_INTEGER size{};
  if (!IsOpen() || !::GetFileSizeEx(Handle(handle_), &size)) return -1;
  return size.QuadPart;
}

std::int64_t ReadOnlyFile::ModifiedTime() const {
  FILETIME written{};
  if (!IsOpen() || !::GetFileTime(Handle(handle_), nullptr, nullptr, &written)) return -1;
  return static_cast<std::int64_t>(std::uint64_t{written.dwHighDateTime} << 32 | written.dwLowDateTime);
}

std::int64_t ReadOnlyFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (!IsOpen()) return -1;
  std::size_t done = 0;
  while (done < out.size()) {
    const std::uint64_t at = offset + done;
    if (at > static_cast<std::uint64_t>(INT64_MAX)) break;
    // A read names its own offset, so the handle keeps no position between reads.
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    const std::size_t left = out.size() - done;
    const DWORD wanted = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!::ReadFile(Handle(handle_), out.data() + done, wanted, &got, &where)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<std::int64_t>(done);
}

}  // namespace tilvo::platform
