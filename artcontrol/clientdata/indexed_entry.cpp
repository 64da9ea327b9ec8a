#include "artcontrol/clientdata/indexed_entry.h"

#include "artcontrol/clientdata/byte_reader.h"

namespace tilvo {

bool IsPresent(const IndexEntry& entry) {
  return entry.offset != kAbsentOffset && entry.length != 0;
}

std::optional<IndexEntry> ParseIndexEntry(std::span<const std::uint8_t> index, std::uint32_t n) {
  ByteReader reader(index);
  const std::uint64_t at = static_cast<std::uint64_t>(n) * kIndexEntrySize;
  if (at > index.size() || !reader.Seek(static_cast<std::size_t>(at))) return std::nullopt;
  IndexEntry entry;
  if (!reader.ReadU32(entry.offset) || !reader.ReadU32(entry.length) || !reader.ReadU32(entry.extra)) {
    return std::nullopt;
  }
  return entry;
}

std::optional<IndexEntry> ReadIndexEntry(FileSession& files, const std::string& indexPath, std::uint32_t n) {
  std::vector<std::uint8_t> record;
  const std::uint64_t at = static_cast<std::uint64_t>(n) * kIndexEntrySize;
  if (!files.ReadRange(indexPath, at, kIndexEntrySize, record)) return std::nullopt;
  return ParseIndexEntry(record, 0);
}

std::optional<std::vector<std::uint8_t>> ReadEntryBytes(FileSession& files, const std::string& path,
                                                        std::uint32_t offset, std::uint32_t length) {
  std::vector<std::uint8_t> bytes;
  if (!files.ReadRange(path, offset, length, bytes)) return std::nullopt;
  // An entry that runs past the end of its file is treated as absent rather
  // than handed out half-read.
  if (bytes.size() != length) return std::nullopt;
  return bytes;
}

std::optional<std::vector<std::uint8_t>> LoadIndexedEntry(FileSession& files, std::uint32_t n,
                                                          const std::string& patchPath,
                                                          const std::string& indexPath,
                                                          const std::string& dataPath, const PatchEntry* patch) {
  if (patch) {
    if (patch->length == 0) return std::nullopt;
    return ReadEntryBytes(files, patchPath, patch->offset, patch->length);
  }
  const std::optional<IndexEntry> entry = ReadIndexEntry(files, indexPath, n);
  if (!entry || !IsPresent(*entry)) return std::nullopt;
  return ReadEntryBytes(files, dataPath, entry->offset, entry->length);
}

}  // namespace tilvo
