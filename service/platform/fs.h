// Files and folders as the service sees them: the working directory, the
// executable's folder, directory search, rename and delete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The folder separator of this platform, and whether a character is one
// (names that arrive from clients may use either "/" or "\").
#if defined(_WIN32)
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif
inline bool IsSeparator(char c) { return c == '/' || c == '\\'; }
// Turns every separator of a name that came from outside into this platform's.
std::string NativePath(const std::string& name);

// Full path of the running executable; empty when it cannot be found.
std::string ExecutablePath();
// The folder of a file's path: the path cut at its last separator, where a
// root folder ("/", "C:\\") keeps its separator; empty when it has none.
std::string FolderOf(const std::string& path);
// The current working directory; empty on failure.
std::string CurrentDirectory();
// Changes the working directory; 0 on success, -1 on failure.
int ChangeDirectory(const std::string& path);

// Renames a file, replacing the target; 0 on success, -1 on failure.
int RenameFile(const std::string& from, const std::string& to);
// Renames a file only where nothing (no file, folder or link) has the new
// name yet: 0 on success, 1 when the name is taken, -1 on another failure.
int RenameNoReplace(const std::string& from, const std::string& to);
// Creates a new file for writing, binary; nothing (no file, folder or link,
// not even a dangling one) may be at `path`, so no link is ever followed.
// Null on failure.
std::FILE* CreateNewFile(const std::string& path);
// Deletes a file; 0 on success, -1 on failure.
int DeleteFile(const std::string& path);
// Whether a file or folder exists at `path`.
bool PathExists(const std::string& path);
// Whether `path` itself is a symbolic link (or another reparse point).
bool IsLink(const std::string& path);
// Whether `path` is a folder.
bool IsDirectory(const std::string& path);
// Size of a file in bytes, or -1.
long long FileSize(const std::string& path);

// The absolute path with every symbolic link of its existing part resolved and
// "." and ".." removed; nothing on failure. The last components may be missing.
// Two names of one file give the same text (on Windows, whose names ignore
// case, it is folded to lower case), so the result is for comparing.
std::optional<std::string> RealPath(const std::string& path);

// Attribute words of a directory entry, as a Win32 directory search reports them.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;

struct DirectoryEntry {
  std::string name;     // the entry's own name, "." and ".." included
  uint32_t attributes;  // kAttr* bits
};

// Lists a folder, "." and ".." first. False when it cannot be searched.
bool ListDirectory(const std::string& path, std::vector<DirectoryEntry>* entries);

}  // namespace platform
