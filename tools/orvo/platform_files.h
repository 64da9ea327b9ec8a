// What orvo asks of the local file system besides AtomicFile: a file's kind
// and permissions, folder listings, private scratch folders, removal.
#pragma once

#include <string>
#include <vector>

namespace orvo::platform {

// Permission bits that let the file's group or anyone else in.
inline constexpr unsigned kGroupOrOtherRead = 0044;
inline constexpr unsigned kGroupOrOtherWrite = 0022;

struct FileStatus {
  bool exists = false;
  bool regular = false;    // a plain file (after following symbolic links)
  bool directory = false;
  unsigned mode = 0;       // the permission bits, 07777
};

// The status of `path` (links followed); `exists` is false when it cannot be read.
FileStatus StatusOf(const std::string& path);

// The names of the plain files in `folder` (links followed), unsorted.
// 0, or -1 with a reason.
int ListPlainFiles(const std::string& folder, std::vector<std::string>* names, std::string* error);

// Reads a whole file. 0, or -1 with a reason.
int ReadWholeFile(const std::string& path, std::string* data, std::string* error);

// Creates `path` and the folders above it that are missing, each with `mode`
// (less the umask). 0, or -1 with a reason.
int MakeFolders(const std::string& path, unsigned mode, std::string* error);

// Creates a new folder that only this user may enter, named `prefix` and six
// random characters, inside `parent`. 0 with its path, or -1 with a reason.
int MakePrivateFolder(const std::string& parent, const std::string& prefix, std::string* made,
                      std::string* error);

// Deletes a file. 0, or -1 with a reason.
int RemoveFile(const std::string& path, std::string* error);

// Deletes an empty folder; no effect on one that is not empty.
void RemoveEmptyFolder(const std::string& path);

}  // namespace orvo::platform
