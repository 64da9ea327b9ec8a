#include "artcontrol/render/art_size_table.h"

#include <array>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/clientdata/container_entries.h"
#include "artcontrol/clientdata/indexed_entry.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {

namespace {

struct Size {
  std::uint16_t width = kTileExtent;
  std::uint16_t height = kTileExtent;
};

constexpr std::size_t kHeaderSize = 8;

// The size an entry's first eight bytes give: item art has a header of 1 to
// 0xFFFF followed by width and height; everything else measures as a land
// tile. An entry without all eight bytes counts as missing.
Size MeasureHeader(std::span<const std::uint8_t> header) {
  if (header.size() < kHeaderSize) return {};
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

void ArtSizeTable::Build(const ClientFileSet& files, FileSession& session) {
  if (built_) return;
  const std::string& art = files.Path(slot::kArt);
  const ContainerTable* container = session.Container(art);
  std::vector<std::uint8_t> index;
  if (!container &&
      !platform::ReadFileRange(files.Path(slot::kArtIndex), 0, kArtEntryCount * kIndexEntrySize, index)) {
    return;
  }
  widths_.assign(kArtEntryCount, kTileExtent);
  heights_.assign(kArtEntryCount, kTileExtent);
  std::vector<std::uint8_t> header;
  for (std::uint32_t n = 0; n < kArtEntryCount; ++n) {
    header.clear();
    if (container) {
      const std::vector<std::string> names = ContainerEntryNames(slot::kArt, n);
      if (const ContainerRecord* record = FindContainerEntry(*container, names.front())) {
        session.ContainerEntryRange(art, *record, 0, kHeaderSize, header);
      }
    } else {
      // Records missing from a short index measure as missing entries.
      std::optional<IndexEntry> entry = ParseIndexEntry(index, n);
      if (!entry) break;
      if (entry->offset != kAbsentOffset) session.ReadRange(art, entry->offset, kHeaderSize, header);
    }
    const Size size = MeasureHeader(header);
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
  if (!built_) return 0;
  return n < kArtEntryCount ? widths_[n] : kTileExtent;
}

std::uint16_t ArtSizeTable::Height(std::uint32_t n) const {
  if (!built_) return 0;
  return n < kArtEntryCount ? heights_[n] : kTileExtent;
}

}  // namespace tilvo
