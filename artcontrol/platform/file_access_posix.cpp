#include "artcontrol/platform/file_access.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tilvo::platform {

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
  if (path.empty()) return;
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return;
  // A folder opens read-only on POSIX but is no client file.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return;
  }
  handle_ = fd;
}

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::int64_t ReadOnlyFile::Size() const {
  if (handle_ < 0) return -1;
  struct stat info {};
  if (::fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

std::int64_t ReadOnlyFile::ModifiedTime() const {
  if (handle_ < 0) return -1;
  struct stat info {};
  if (::fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

std::int64_t ReadOnlyFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (handle_ < 0) return -1;
  std::size_t done = 0;
  while (done < out.size()) {
    const std::uint64_t at = offset + done;
    if (at > static_cast<std::uint64_t>(INT64_MAX)) break;
    const ssize_t got = ::pread(static_cast<int>(handle_), out.data() + done, out.size() - done,
                                static_cast<off_t>(at));
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

}  // namespace tilvo::platform
