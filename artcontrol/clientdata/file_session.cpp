#include "artcontrol/clientdata/file_session.h"

#include "artcontrol/clientdata/container_codec.h"

namespace tilvo {

FileSession::FileSession(ContainerCache* containers) : containers_(containers ? containers : &ownContainers_) {}
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

const ContainerTable* FileSession::Container(const std::string& path) {
  OpenFile& open = Find(path);
  if (!open.container) {
    std::vector<std::uint8_t> head;
    open.container = platform::ReadRange(*open.file, open.size, 0, 4, head) && IsContainerHead(head);
    if (*open.container) open.table = &containers_->TableOf(path, *open.file, open.size);
  }
  return open.table;
}

std::optional<std::vector<std::uint8_t>> FileSession::ContainerEntry(const std::string& path,
                                                                     const ContainerRecord& record) {
  std::vector<std::uint8_t> stored;
  if (!ReadRange(path, record.offset, record.storedLength, stored) || stored.size() != record.storedLength) {
    return std::nullopt;
  }
  return DecodeContainerEntry(record.compression, stored, record.decompressedLength);
}

bool FileSession::ContainerEntryRange(const std::string& path, const ContainerRecord& record, std::uint64_t offset,
                                      std::size_t count, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (record.compression == kStoredEntry) {
    if (offset >= record.storedLength) return true;
    const std::uint64_t left = record.storedLength - offset;
    return ReadRange(path, record.offset + offset, left < count ? static_cast<std::size_t>(left) : count, bytes);
  }
  if (decodedPath_ != path || decodedOffset_ != record.offset) {
    decodedPath_ = path;
    decodedOffset_ = record.offset;
    decoded_ = ContainerEntry(path, record);
  }
  if (!decoded_) return false;
  if (offset < decoded_->size()) {
    const std::size_t left = decoded_->size() - static_cast<std::size_t>(offset);
    bytes.assign(decoded_->begin() + static_cast<std::ptrdiff_t>(offset),
                 decoded_->begin() + static_cast<std::ptrdiff_t>(offset + (left < count ? left : count)));
  }
  return true;
}

}  // namespace tilvo
