#pragma once
// The files the control itself owns and writes: its registration and the
// property files of hosts. (The game client's files are never written; they
// go through file_access.h.)

#include <string>
#include <string_view>

namespace tilvo::platform {

// Whether anything (a file, a folder, a link) exists at path.
bool PathExists(const std::string& path);

// Replaces the file at path with bytes as one step: a reader sees either the
// old file or the whole new one, never a part. Missing parent folders are
// created (readable by the user alone). False when any step fails; the old
// file is then left as it was.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace tilvo::platform
