#include "artcontrol/clientdata/tile_data.h"

#include <array>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {

namespace {

constexpr std::size_t kGroupHeader = 4;
constexpr std::size_t kRecordsPerGroup = 32;
constexpr std::size_t kLandGroups = kLandTileCount / kRecordsPerGroup;
constexpr std::size_t kNameLength = 20;
// Bytes of a record besides its flags.
constexpr std::size_t kLandFields = 2 + kNameLength;
constexpr std::size_t kItemFields = 13 + kNameLength;
constexpr std::size_t kHeightAfterFlags = 12;

// One row per layout: the file's size, its items and the width of its flags.
struct LayoutRow {
  TileDataLayout layout;
  std::size_t fileSize;
  std::uint32_t items;
  std::size_t flagBytes;
};

constexpr std::array<LayoutRow, 3> kLayouts = {{
    {TileDataLayout::kClassic, kTileDataImageSize, 0x4000, 4},
    {TileDataLayout::kClassicWide, 1644544, 0x8000, 4},
    {TileDataLayout::kWideFlags, 3188736, 0x10000, 8},
}};

constexpr std::size_t LandRecordSize(const LayoutRow& row) { return row.flagBytes + kLandFields; }
constexpr std::size_t ItemRecordSize(const LayoutRow& row) { return row.flagBytes + kItemFields; }
constexpr std::size_t LandSectionSize(const LayoutRow& row) {
  return kLandGroups * (kGroupHeader + kRecordsPerGroup * LandRecordSize(row));
}
constexpr std::size_t ItemRecordPosition(const LayoutRow& row, std::uint32_t t) {
  return LandSectionSize(row) + (t / kRecordsPerGroup) * (kGroupHeader + kRecordsPerGroup * ItemRecordSize(row)) +
         kGroupHeader + (t % kRecordsPerGroup) * ItemRecordSize(row);
}

constexpr bool SizesAddUp() {
  for (const LayoutRow& row : kLayouts) {
    if (ItemRecordPosition(row, row.items) - kGroupHeader != row.fileSize) return false;
  }
  return true;
}
static_assert(SizesAddUp(), "each layout's land and item groups fill its file exactly");

const LayoutRow& RowOf(TileDataLayout layout) {
  for (const LayoutRow& row : kLayouts) {
    if (row.layout == layout) return row;
  }
  return kLayouts[0];
}

std::uint64_t ReadFlags(ByteReader& reader, std::size_t flagBytes) {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  reader.ReadU32(low);
  if (flagBytes == 8) reader.ReadU32(high);
  return std::uint64_t{high} << 32 | low;
}

// The name field: its characters up to the first zero.
std::string ReadName(ByteReader& reader) {
  std::span<const std::uint8_t> field;
  if (!reader.Take(kNameLength, field)) return {};
  std::string name;
  for (std::uint8_t c : field) {
    if (c == 0) break;
    name += static_cast<char>(c);
  }
  return name;
}

}  // namespace

TileDataLayout TileDataLayoutOfSize(std::int64_t size) {
  for (const LayoutRow& row : kLayouts) {
    if (size == static_cast<std::int64_t>(row.fileSize)) return row.layout;
  }
  return TileDataLayout::kClassic;
}

std::uint32_t ItemTileCount(TileDataLayout layout) { return RowOf(layout).items; }

std::size_t StaticHeightPosition(TileDataLayout layout, std::uint32_t t) {
  const LayoutRow& row = RowOf(layout);
  return ItemRecordPosition(row, t) + row.flagBytes + kHeightAfterFlags;
}

std::uint8_t StaticHeight(const TileDataImage& image, std::uint32_t t) {
  if (t >= ItemTileCount(image.layout)) return 0;
  const std::size_t position = StaticHeightPosition(image.layout, t);
  return position < image.bytes.size() ? image.bytes[position] : std::uint8_t{0};
}

std::optional<LandTileRecord> ReadLandTile(const TileDataImage& image, std::uint32_t t) {
  if (t >= kLandTileCount) return std::nullopt;
  const LayoutRow& row = RowOf(image.layout);
  ByteReader reader(image.bytes);
  const std::size_t at = (t / kRecordsPerGroup) * (kGroupHeader + kRecordsPerGroup * LandRecordSize(row)) +
                         kGroupHeader + (t % kRecordsPerGroup) * LandRecordSize(row);
  if (!reader.Seek(at) || reader.Remaining() < LandRecordSize(row)) return std::nullopt;
  LandTileRecord record;
  record.flags = ReadFlags(reader, row.flagBytes);
  reader.ReadU16(record.texture);
  record.name = ReadName(reader);
  return record;
}

std::optional<ItemTileRecord> ReadItemTile(const TileDataImage& image, std::uint32_t t) {
  const LayoutRow& row = RowOf(image.layout);
  if (t >= row.items) return std::nullopt;
  ByteReader reader(image.bytes);
  if (!reader.Seek(ItemRecordPosition(row, t)) || reader.Remaining() < ItemRecordSize(row)) return std::nullopt;
  ItemTileRecord record;
  record.flags = ReadFlags(reader, row.flagBytes);
  reader.ReadU8(record.weight);
  reader.ReadU8(record.quality);
  reader.ReadU16(record.miscData);
  reader.ReadU8(record.unknown2);
  reader.ReadU8(record.quantity);
  reader.ReadU16(record.animation);
  reader.ReadU8(record.unknown3);
  reader.ReadU8(record.hue);
  reader.ReadU8(record.stackingOffset);
  reader.ReadU8(record.value);
  reader.ReadU8(record.height);
  record.name = ReadName(reader);
  return record;
}

void LoadTileData(const std::string& path, TileDataImage& image) {
  image.layout = TileDataLayout::kClassic;
  image.bytes.clear();
  const platform::ReadOnlyFile file(path);
  const std::int64_t size = file.Size();
  if (size < 0) return;
  image.layout = TileDataLayoutOfSize(size);
  const std::size_t wanted = RowOf(image.layout).fileSize;
  if (!platform::ReadRange(file, size, 0, wanted, image.bytes)) {
    image.bytes.clear();
    return;
  }
  // A file of another size is read the classic way; what it lacks reads as zero.
  image.bytes.resize(wanted, 0);
}

}  // namespace tilvo
