#pragma once
// FileSession: the client files of one regeneration of the picture. Each file
// is opened at its first use and kept open until the session ends, so that a
// map preview reading hundreds of blocks and entries opens every file once;
// a file that does not open is not tried again within the session. Sessions
// are short (one paint), so the client's files are never held between
// regenerations, and no other process is denied any access meanwhile.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "artcontrol/platform/file_access.h"

namespace tilvo {

class FileSession {
 public:
  FileSession();
  ~FileSession();
  FileSession(const FileSession&) = delete;
  FileSession& operator=(const FileSession&) = delete;

  // Whether the file at path opens.
  bool Opens(const std::string& path);
  // Up to count bytes at offset of the file at path: fewer at its end, none
  // past it (the size is taken when the session opens the file, so the buffer
  // is never larger than the file). False when the file does not open or a read fails.
  bool ReadRange(const std::string& path, std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes);
  // The number of distinct paths the session has tried to open.
  std::size_t FilesTried() const { return files_.size(); }

 private:
  struct OpenFile {
    std::string path;
    std::unique_ptr<platform::ReadOnlyFile> file;
    std::int64_t size = -1;  // -1: the file did not open
  };
  OpenFile& Find(const std::string& path);

  std::vector<OpenFile> files_;  // a handful per regeneration: a list is quickest
};

}  // namespace tilvo
