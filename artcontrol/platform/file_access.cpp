// The whole-file and range reads, the same on every system: built on ReadOnlyFile.
#include "artcontrol/platform/file_access.h"

namespace tilvo::platform {

bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  ReadOnlyFile file(path);
  const std::int64_t size = file.Size();
  if (size < 0 || static_cast<std::uint64_t>(size) > maxBytes) return false;
  bytes.resize(static_cast<std::size_t>(size));
  const std::int64_t got = file.ReadAt(0, bytes);
  if (got < 0) {
    bytes.clear();
    return false;
  }
  // A file that shrank since its size was taken yields what it still holds.
  bytes.resize(static_cast<std::size_t>(got));
  return true;
}

bool ReadFileRange(const std::string& path, std::uint64_t offset, std::size_t count,
                   std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  ReadOnlyFile file(path);
  const std::int64_t size = file.Size();
  if (size < 0) return false;
  const auto available = static_cast<std::uint64_t>(size);
  if (offset >= available) return true;
  const std::uint64_t left = available - offset;
  bytes.resize(static_cast<std::size_t>(left < count ? left : count));
  const std::int64_t got = file.ReadAt(offset, bytes);
  if (got < 0) {
    bytes.clear();
    return false;
  }
  bytes.resize(static_cast<std::size_t>(got));
  return true;
}

std::int64_t FileSize(const std::string& path) {
  return ReadOnlyFile(path).Size();
}

}  // namespace tilvo::platform
