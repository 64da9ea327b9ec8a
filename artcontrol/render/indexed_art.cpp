#include "artcontrol/render/indexed_art.h"

#include <array>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/clientdata/indexed_entry.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {

namespace {

// Up to length bytes at offset; never more than the file holds, so a damaged
// length allocates nothing beyond the file's size.
std::vector<std::uint8_t> ReadUpTo(const platform::ReadOnlyFile& file, std::uint64_t offset, std::uint32_t length) {
  std::vector<std::uint8_t> bytes;
  const std::int64_t size = file.Size();
  if (size < 0 || offset >= static_cast<std::uint64_t>(size)) return bytes;
  const std::uint64_t left = static_cast<std::uint64_t>(size) - offset;
  bytes.resize(static_cast<std::size_t>(left < length ? left : length));
  const std::int64_t got = file.ReadAt(offset, bytes);
  bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return bytes;
}

IndexEntry ReadRecord(const platform::ReadOnlyFile& index, std::uint32_t n) {
  std::array<std::uint8_t, kIndexEntrySize> record{};
  IndexEntry entry;
  if (index.ReadAt(std::uint64_t{n} * kIndexEntrySize, record) != static_cast<std::int64_t>(record.size())) {
    return entry;
  }
  ByteReader reader(record);
  reader.ReadU32(entry.offset);
  reader.ReadU32(entry.length);
  reader.ReadU32(entry.extra);
  return entry;
}

}  // namespace

std::optional<IndexedArt> LoadIndexedArt(const ClientData& data, const IndexedArtSource& source, std::uint32_t n) {
  // Both files must open, even when a patch will supply the bytes.
  const platform::ReadOnlyFile dataFile(data.files.Path(source.dataSlot));
  const platform::ReadOnlyFile indexFile(data.files.Path(source.indexSlot));
  if (!dataFile.IsOpen() || !indexFile.IsOpen()) return std::nullopt;
  const IndexEntry entry = ReadRecord(indexFile, n);
  const std::int64_t patch = FindPatch(data.patches, source.patchFileId, n);
  IndexedArt art;
  if (patch >= 0) {
    const PatchEntry& record = data.patches.entries[static_cast<std::size_t>(patch)];
    const platform::ReadOnlyFile verdata(data.files.Path(slot::kVerdata));
    if (!verdata.IsOpen()) return std::nullopt;
    art.bytes = ReadUpTo(verdata, record.offset, record.length);
    art.length = record.length;
    art.extra = record.extra;
    return art;
  }
  if (entry.offset == kAbsentOffset) return std::nullopt;
  art.bytes = ReadUpTo(dataFile, entry.offset, entry.length);
  art.length = entry.length;
  art.extra = entry.extra;
  return art;
}

}  // namespace tilvo
