#pragma once
// Index files and LoadIndexedEntry. An index file is a sequence of 12-byte
// IndexEntry records; record n lies at byte n × 12:
//   0  offset  where the entry lies in the data file; 0xFFFFFFFF: no entry
//   4  length  bytes of the entry; 0: no entry
//   8  extra   file-specific value
// The files are read through the regeneration's FileSession, which opens
// each of them once.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "artcontrol/clientdata/file_session.h"
#include "artcontrol/clientdata/patch_table.h"

namespace tilvo {

inline constexpr std::size_t kIndexEntrySize = 12;
inline constexpr std::uint32_t kAbsentOffset = 0xFFFFFFFF;

// One record of an index file.
struct IndexEntry {
  std::uint32_t offset = kAbsentOffset;
  std::uint32_t length = 0;
  std::uint32_t extra = 0;
};

// True when the record names data: its offset is not 0xFFFFFFFF and its length not 0.
bool IsPresent(const IndexEntry& entry);

// Record n of an index file held in memory; none when the bytes hold no whole record n.
std::optional<IndexEntry> ParseIndexEntry(std::span<const std::uint8_t> index, std::uint32_t n);

// Record n of the index file at path; none when it does not open or is shorter than (n + 1) × 12 bytes.
std::optional<IndexEntry> ReadIndexEntry(FileSession& files, const std::string& indexPath, std::uint32_t n);

// Exactly length bytes at offset of the file at path; none when it does not
// open or does not hold them all (nothing is allocated beyond the file's size).
std::optional<std::vector<std::uint8_t>> ReadEntryBytes(FileSession& files, const std::string& path,
                                                        std::uint32_t offset, std::uint32_t length);

// LoadIndexedEntry: the bytes of entry n. With a patch record, they come from
// the patch file at the record's offset and length, and the index and data
// files are not touched; otherwise from record n of the index file and the
// data file. None when a file does not open, the entry is absent (offset
// 0xFFFFFFFF or length 0, a patch of length 0 included), or the bytes it names
// are not all in the file.
std::optional<std::vector<std::uint8_t>> LoadIndexedEntry(FileSession& files, std::uint32_t n,
                                                          const std::string& patchPath,
                                                          const std::string& indexPath,
                                                          const std::string& dataPath, const PatchEntry* patch);

}  // namespace tilvo
