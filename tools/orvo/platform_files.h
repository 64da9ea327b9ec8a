// What orvo asks of the local file system besides AtomicFile: the way paths
// are written, a file's kind and who else may use it, folder listings,
// private scratch folders, removal.
#pragma once

#include <string>
#include <vector>

namespace orvo::platform {

// Whether `path` names its place without a starting folder ("/x"; on Windows
// "C:\x", "C:/x", "\\server\share", "\x").
bool IsAbsolutePath(const std::string& path);

// `name` inside `folder`, joined with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder part of `path` ("." when it has none; a root keeps its separator).
std::string FolderOf(const std::string& path);

struct FileStatus {
  bool exists = false;
  bool regular = false;    // a plain file (after following symbolic links)
  bool directory = false;
  // Whether users other than its owner may read or change it: group or other
  // permission bits on POSIX; on Windows an access list that lets anyone but
  // this user, SYSTEM and the Administrators in, or an owner other than these.
  bool others_may_read = false;
  bool others_may_change = false;
};

// The status of `path` (links followed); `exists` is false when it cannot be read.
FileStatus StatusOf(const std::string& path);

// The command that leaves `path` to its owner alone ("chmod 600 PATH").
std::string MakePrivateCommand(const std::string& path);

// The command that keeps others from changing `path` ("chmod go-w PATH").
std::string KeepOthersFromChangingCommand(const std::string& path);

// The names of the plain files in `folder` (links followed), unsorted.
// 0, or -1 with a reason.
int ListPlainFiles(const std::string& folder, std::vector<std::string>* names, std::string* error);

// Reads a whole file. 0, or -1 with a reason.
int ReadWholeFile(const std::string& path, std::string* data, std::string* error);

// Creates `path` and the folders above it that are missing, each with `mode`
// (less the umask; on Windows they inherit their access lists). 0, or -1
// with a reason.
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
