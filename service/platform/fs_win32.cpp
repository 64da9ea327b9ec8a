#include "service/platform/fs.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

// windows.h names the A or W function DeleteFile; ours is the platform's.
#undef DeleteFile

namespace platform {

namespace {

// The longest path the ANSI calls take with a "\\?\" prefix.
constexpr DWORD kLongestPath = 32768;

// Calls `get(buffer, size)`, which returns the length it needs or wrote, with
// room enough; empty on failure.
template <typename Get>
std::string GrowingRead(Get get) {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD n = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    if (buffer.size() >= kLongestPath) return {};
    buffer.resize(std::min<size_t>(std::max<size_t>(n + 1, buffer.size() * 2), kLongestPath));
  }
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The name a file system object goes by once links and short names are
// resolved, in the usual drive-letter form; empty when it cannot be opened.
std::string FinalName(const std::string& path) {
  // Folders open only with backup semantics; nothing is read or written.
  HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string name = GrowingRead([h](char* buf, DWORD size) {
    return ::GetFinalPathNameByHandleA(h, buf, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  });
  ::CloseHandle(h);
  if (name.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + name.substr(8);
  if (name.rfind("\\\\?\\", 0) == 0) return name.substr(4);
  return name;
}

}  // namespace

std::string NativePath(const std::string& name) {
  std::string out = name;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::string ExecutablePath() {
  return GrowingRead([](char* buf, DWORD size) { return ::GetModuleFileNameA(nullptr, buf, size); });
}

std::string FolderOf(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return {};
  // "C:\x.exe" lies in "C:\", not in "C:", the drive's current folder.
  if (cut == 0 || (cut == 2 && path[1] == ':')) return path.substr(0, cut + 1);
  return path.substr(0, cut);
}

std::string CurrentDirectory() {
  return GrowingRead([](char* buf, DWORD size) { return ::GetCurrentDirectoryA(size, buf); });
}

int ChangeDirectory(const std::string& path) { return ::SetCurrentDirectoryA(path.c_str()) ? 0 : -1; }

int RenameFile(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : -1;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails where the name is taken.
  if (::MoveFileExA(from.c_str(), to.c_str(), 0)) return 0;
  DWORD error = ::GetLastError();
  return (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) ? 1 : -1;
}

std::FILE* CreateNewFile(const std::string& path) {
  // CREATE_NEW fails on anything at the name, and the reparse-point flag keeps
  // a link at the name from being followed.
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(h);
    return nullptr;
  }
  std::FILE* file = ::_fdopen(fd, "wb");
  if (file == nullptr) ::_close(fd);
  return file;
}

int DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) ? 0 : -1; }

bool PathExists(const std::string& path) { return Exists(path); }

bool IsLink(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> RealPath(const std::string& path) {
  if (path.empty()) return std::nullopt;
  // The full path, with "." and ".." gone and every "/" a "\".
  std::string full = GrowingRead([&path](char* buf, DWORD size) {
    return ::GetFullPathNameA(path.c_str(), size, buf, nullptr);
  });
  if (full.empty()) return std::nullopt;
  // "dir\" is the folder "dir"; a root keeps its separator.
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  // Resolve the longest part that exists; the missing rest is kept as written.
  // A file that another thread renames away at that moment (a store moving it
  // to its backup) resolves through its folder, as a missing file does.
  std::string existing = full;
  std::string rest;
  std::string resolved;
  for (;;) {
    if (Exists(existing)) {
      resolved = FinalName(existing);
      if (!resolved.empty()) break;
    }
    size_t cut = existing.find_last_of('\\');
    if (cut == std::string::npos || cut + 1 >= existing.size()) {
      if (!Exists(existing)) return std::nullopt;
      resolved = existing;
      break;
    }
    rest = existing.substr(cut) + rest;
    existing.resize(cut);
    if (existing.size() == 2 && existing[1] == ':') existing += '\\';
  }
  if (!rest.empty() && resolved.back() == '\\') resolved.pop_back();
  resolved += rest;
  // Names differ in case only as written; the file system finds them alike.
  std::transform(resolved.begin(), resolved.end(), resolved.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  return resolved;
}

bool ListDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAA found{};
  // The pattern is the path, a backslash and "*", as written.
  HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    entries->push_back(DirectoryEntry{found.cFileName, found.dwFileAttributes});
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return true;
}

}  // namespace platform
