#pragma once
// FileSession: the client files of one regeneration of the picture. Each file
// is opened at its first use and kept open until the session ends, so that a
// map preview reading hundreds of blocks and entries opens every file once;
// a file that does not open is not tried again within the session. Sessions
// are short (one paint), so the client's files are never held between
// regenerations, and no other process is denied any access meanwhile. The
// tables of containers outlive the session in the ContainerCache it is given.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "artcontrol/clientdata/container.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {

class FileSession {
 public:
  // A session whose container tables are kept in containers (or, without one, for the session alone).
  explicit FileSession(ContainerCache* containers = nullptr);
  ~FileSession();
  FileSession(const FileSession&) = delete;
  FileSession& operator=(const FileSession&) = delete;

  // Keeps the container tables in containers from now on (a control's, which outlive its sessions).
  void KeepContainersIn(ContainerCache& containers) { containers_ = &containers; }

  // Whether the file at path opens.
  bool Opens(const std::string& path);
  // Up to count bytes at offset of the file at path: fewer at its end, none
  // past it (the size is taken when the session opens the file, so the buffer
  // is never larger than the file). False when the file does not open or a read fails.
  bool ReadRange(const std::string& path, std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes);
  // The number of distinct paths the session has tried to open.
  std::size_t FilesTried() const { return files_.size(); }

  // The table of the file at path when it is a container; null when it is none or does not open.
  const ContainerTable* Container(const std::string& path);
  // The bytes of a container's entry, decoded; none when it is absent or cannot be decoded.
  std::optional<std::vector<std::uint8_t>> ContainerEntry(const std::string& path, const ContainerRecord& record);
  // Up to count bytes at offset of that entry's bytes (fewer at its end), read
  // straight from the file when the entry is stored as it is; false when it
  // cannot be decoded.
  bool ContainerEntryRange(const std::string& path, const ContainerRecord& record, std::uint64_t offset,
                           std::size_t count, std::vector<std::uint8_t>& bytes);

 private:
  struct OpenFile {
    std::string path;
    std::unique_ptr<platform::ReadOnlyFile> file;
    std::int64_t size = -1;                 // -1: the file did not open
    std::optional<bool> container;          // known after the first question
    const ContainerTable* table = nullptr;  // its table when it is one
  };
  OpenFile& Find(const std::string& path);

  std::vector<OpenFile> files_;  // a handful per regeneration: a list is quickest
  ContainerCache ownContainers_;
  ContainerCache* containers_;
  // The last compressed entry decoded, which a map preview reads block by block.
  std::string decodedPath_;
  std::uint64_t decodedOffset_ = 0;
  std::optional<std::vector<std::uint8_t>> decoded_;
};

}  // namespace tilvo
