#include "artcontrol/clientdata/file_session.h"

namespace tilvo {

FileSession::FileSession() = default;
FileSession::~FileSession() = default;

FileSession::OpenFile& FileSession::Find(const std::string& path) {
  for (OpenFile& open : files_) {
    if (open.path == path) return open;
  }
  OpenFile& open = files_.emplace_back();
  open.path = path;
  open.file = std::make_unique<platform::ReadOnlyFile>(path);
  open.size = open.file->Size();
  return open;
}

bool FileSession::Opens(const std::string& path) { return Find(path).size >= 0; }

bool FileSession::ReadRange(const std::string& path, std::uint64_t offset, std::size_t count,
                            std::vector<std::uint8_t>& bytes) {
  const OpenFile& open = Find(path);
  return platform::ReadRange(*open.file, open.size, offset, count, bytes);
}

}  // namespace tilvo
