#pragma once
// The containers ("MYP\0" files) in which current clients keep their art,
// gumps, maps and multis instead of index and data file pairs. All numbers
// little-endian:
//   header  "MYP\0", u32 version, u32 signature, u64 offset of the first
//           table block, u32 block capacity, i32 entry count (not trusted:
//           the chain of blocks is walked), padding
//   block   i32 record count, i64 offset of the next block (0 ends the
//           chain), then the records
//   record  (34 bytes) i64 offset of the entry (0: an empty slot), i32 length
//           of the entry's header, i32 stored length, i32 decompressed length,
//           u64 key (container_hash.h), u32 checksum, i16 compression
//           (container_codec.h)
// An entry's stored bytes begin after its header. Records are in no order and
// blocks may lie anywhere in the file. The table is read once into a hash map
// from key to record; every offset, length and count is checked against the
// file, so a damaged container gives the entries it can and no others, and
// nothing outside the file is ever read.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "artcontrol/platform/file_access.h"

namespace tilvo {

// Where an entry's stored bytes lie and how to decode them.
struct ContainerRecord {
  std::uint64_t offset = 0;  // of the stored bytes (the record's offset plus its header length)
  std::uint32_t storedLength = 0;
  std::uint32_t decompressedLength = 0;
  std::uint16_t compression = 0;
};

// A container's table: every record that lies wholly inside the file, by key (the first of two with one key).
struct ContainerTable {
  std::unordered_map<std::uint64_t, ContainerRecord> records;
};

// Whether the bytes begin with the container's magic "MYP\0".
bool IsContainerHead(std::span<const std::uint8_t> head);

// Reads the table of the container open as file, whose size was taken as size.
ContainerTable ReadContainerTable(const platform::ReadOnlyFile& file, std::int64_t size);

// The record of the entry with that name, or null.
const ContainerRecord* FindContainerEntry(const ContainerTable& table, std::string_view name);

// The tables read so far, kept from one regeneration of the picture to the
// next, so that a container's table is read once; a file whose size or
// modification time has changed since (a patched client) is read again.
class ContainerCache {
 public:
  // The table of the container open as file at path; the reference stays valid until Clear.
  const ContainerTable& TableOf(const std::string& path, const platform::ReadOnlyFile& file, std::int64_t size);
  // Forgets every table.
  void Clear() { tables_.clear(); }

 private:
  struct Cached {
    std::string path;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    ContainerTable table;
  };
  std::vector<std::unique_ptr<Cached>> tables_;  // a handful: a list is quickest
};

}  // namespace tilvo
