#include "artcontrol/render/indexed_art.h"

#include "artcontrol/clientdata/container_entries.h"
#include "artcontrol/clientdata/indexed_entry.h"

namespace tilvo {

namespace {

// Up to length bytes at offset; never more than the file holds, so a damaged
// length allocates nothing beyond the file's size. A failed read gives none.
std::vector<std::uint8_t> ReadUpTo(FileSession& files, const std::string& path, std::uint64_t offset,
                                   std::uint32_t length) {
  std::vector<std::uint8_t> bytes;
  files.ReadRange(path, offset, length, bytes);
  return bytes;
}

// Record n, or an absent record when the index does not hold all of it.
IndexEntry ReadRecord(FileSession& files, const std::string& indexPath, std::uint32_t n) {
  return ReadIndexEntry(files, indexPath, n).value_or(IndexEntry{});
}

}  // namespace

std::optional<IndexedArt> LoadIndexedArt(FileSession& files, const ClientData& data, const IndexedArtSource& source,
                                         std::uint32_t n) {
  // Both files must open, even when a patch will supply the bytes; a container holds its own index.
  const std::string& dataPath = data.files.Path(source.dataSlot);
  const std::string& indexPath = data.files.Path(source.indexSlot);
  const ContainerTable* container = files.Container(dataPath);
  if (!files.Opens(dataPath) || (!container && !files.Opens(indexPath))) return std::nullopt;
  const std::int64_t patch = FindPatch(data.patches, source.patchFileId, n);
  IndexedArt art;
  if (container && patch < 0) {
    std::optional<std::vector<std::uint8_t>> bytes = LoadContainerEntry(files, dataPath, *container, source.dataSlot, n);
    if (!bytes) return std::nullopt;
    art.bytes = std::move(*bytes);
    art.length = static_cast<std::uint32_t>(art.bytes.size());
    art.fromContainer = true;
    return art;
  }
  const IndexEntry entry = container ? IndexEntry{} : ReadRecord(files, indexPath, n);
  if (patch >= 0) {
    const PatchEntry& record = data.patches.entries[static_cast<std::size_t>(patch)];
    const std::string& verdata = data.files.Path(slot::kVerdata);
    if (!files.Opens(verdata)) return std::nullopt;
    art.bytes = ReadUpTo(files, verdata, record.offset, record.length);
    art.length = record.length;
    art.extra = record.extra;
    return art;
  }
  if (entry.offset == kAbsentOffset) return std::nullopt;
  art.bytes = ReadUpTo(files, dataPath, entry.offset, entry.length);
  art.length = entry.length;
  art.extra = entry.extra;
  return art;
}

}  // namespace tilvo
