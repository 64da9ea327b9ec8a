#pragma once
// The control's only way to the client's files. Every file is opened
// read-only, in binary mode, without denying other processes reading,
// writing, renaming or deleting it (on Windows: FILE_SHARE_READ |
// FILE_SHARE_WRITE | FILE_SHARE_DELETE), so that the game client can run and
// be patched while a host shows its art. A handle lives at most for one
// regeneration of the picture (a few milliseconds); none is kept between
// regenerations. Nothing here ever writes a file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tilvo::platform {

// One client file, open for reading while the object lives; invalid handles
// are -1 on every platform.
class ReadOnlyFile {
 public:
  // Opens path read-only and shared; IsOpen() says whether that worked.
  explicit ReadOnlyFile(const std::string& path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // True when the file opened.
  bool IsOpen() const { return handle_ >= 0; }
  // The file's size in bytes, or -1 when it is not open or its size is unknown.
  std::int64_t Size() const;
  // When the file was last written, in the platform's own units (compared, never shown), or -1 when unknown.
  std::int64_t ModifiedTime() const;
  // Reads up to out.size() bytes at offset; the number read (fewer at the end of the file, 0 past it), or -1 on failure.
  std::int64_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

 private:
  std::intptr_t handle_ = -1;
};

// The rest is the same on every platform: only ReadOnlyFile differs.

// Reads up to count bytes at offset of an open file whose size was taken as
// size into bytes: fewer at the end, none past it, and never a buffer larger
// than the file. False (bytes empty) when the file is not open or a read fails.
inline bool ReadRange(const ReadOnlyFile& file, std::int64_t size, std::uint64_t offset, std::size_t count,
                      std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (!file.IsOpen() || size < 0) return false;
  const auto available = static_cast<std::uint64_t>(size);
  if (offset >= available) return true;
  const std::uint64_t left = available - offset;
  bytes.resize(static_cast<std::size_t>(left < count ? left : count));
  const std::int64_t got = file.ReadAt(offset, bytes);
  if (got < 0) {
    bytes.clear();
    return false;
  }
  // A file that shrank since its size was taken yields what it still holds.
  bytes.resize(static_cast<std::size_t>(got));
  return true;
}

// Reads the whole file into bytes; false (bytes empty) when it does not open, a read fails, or it is longer than maxBytes.
inline bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  const ReadOnlyFile file(path);
  const std::int64_t size = file.Size();
  if (size < 0 || static_cast<std::uint64_t>(size) > maxBytes) return false;
  return ReadRange(file, size, 0, static_cast<std::size_t>(size), bytes);
}

// Reads up to count bytes at offset into bytes (fewer at the end of the file, none past it; the buffer is never larger than what the file holds); false when the file does not open or a read fails.
inline bool ReadFileRange(const std::string& path, std::uint64_t offset, std::size_t count,
                          std::vector<std::uint8_t>& bytes) {
  const ReadOnlyFile file(path);
  return ReadRange(file, file.Size(), offset, count, bytes);
}

// The size in bytes of the file at path, or -1 when it does not open.
inline std::int64_t FileSize(const std::string& path) { return ReadOnlyFile(path).Size(); }

}  // namespace tilvo::platform
