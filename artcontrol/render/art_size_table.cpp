#include "artcontrol/render/art_size_table.h"

#include <array>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/clientdata/indexed_entry.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {

namespace {

struct Size {
  std::uint16_t width = kTileExtent;
  std::uint16_t height = kTileExtent;
};

// The size an entry's header gives: item art has a header of 1 to 0xFFFF
// followed by width and height; everything else measures as a land tile. An
// entry whose eight header bytes are not all in the file counts as missing.
Size MeasureEntry(const platform::ReadOnlyFile& art, const IndexEntry& entry) {
  if (entry.offset == kAbsentOffset || !art.IsOpen()) return {};
  std::array<std::uint8_t, 8> header{};
  if (art.ReadAt(entry.offset, header) != static_cast<std::int64_t>(header.size())) return {};
  ByteReader reader(header);
  std::uint32_t first = 0;
  Size size;
  reader.ReadU32(first);
  if (first == 0 || first > 0xFFFF) return {};
  reader.ReadU16(size.width);
  reader.ReadU16(size.height);
  return size;
}

}  // namespace

void ArtSizeTable::Build(const ClientFileSet& files) {
  if (built_) return;
  std::vector<std::uint8_t> index;
  if (!platform::ReadFileRange(files.Path(slot::kArtIndex), 0, kArtEntryCount * kIndexEntrySize, index)) return;
  platform::ReadOnlyFile art(files.Path(slot::kArt));
  widths_.assign(kArtEntryCount, kTileExtent);
  heights_.assign(kArtEntryCount, kTileExtent);
  for (std::uint32_t n = 0; n < kArtEntryCount; ++n) {
    // Records missing from a short index measure as missing entries.
    std::optional<IndexEntry> entry = ParseIndexEntry(index, n);
    if (!entry) break;
    Size size = MeasureEntry(art, *entry);
    widths_[n] = size.width;
    heights_[n] = size.height;
  }
  built_ = true;
}

void ArtSizeTable::Clear() {
  widths_.clear();
  heights_.clear();
  built_ = false;
}

std::uint16_t ArtSizeTable::Width(std::uint32_t n) const {
  return built_ ? widths_[static_cast<std::uint16_t>(n)] : 0;
}

std::uint16_t ArtSizeTable::Height(std::uint32_t n) const {
  return built_ ? heights_[static_cast<std::uint16_t>(n)] : 0;
}

}  // namespace tilvo
