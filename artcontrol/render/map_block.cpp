#include "artcontrol/render/map_block.h"

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/clientdata/container_entries.h"
#include "artcontrol/clientdata/indexed_entry.h"
#include "artcontrol/render/tile_component.h"

namespace tilvo {

namespace {

constexpr std::size_t kLandBlockSize = 196;
constexpr std::size_t kLandHeaderSize = 4;
constexpr std::uint32_t kStaticsRecordSize = 7;
constexpr std::uint32_t kAbsentLength = 0xFFFFFFFF;
constexpr int kBlockSide = 8;

// The map preview's facets: facet 0 (shared with facet 1's base files) and facet 2.
constexpr MapFacetFiles kMapFacets[] = {
    {0, 0, 0, slot::kMap0, 64, slot::kStaticsIndex0, slot::kStatics0, 73, 70, 2},
    {2, 2, 2, slot::kMap2, 66, slot::kStaticsIndex2, slot::kStatics2, 75, 72, 39},
};

// The byte range that holds a block's statics, and the file it lies in.
struct StaticsSource {
  const std::string* path = nullptr;
  std::uint32_t offset = 0;
  std::uint32_t length = kAbsentLength;
};

StaticsSource FromIndex(FileSession& files, const ClientData& data, int indexSlot, int dataSlot, std::uint32_t n) {
  StaticsSource source;
  source.path = &data.files.Path(dataSlot);
  if (std::optional<IndexEntry> entry = ReadIndexEntry(files, data.files.Path(indexSlot), n)) {
    source.offset = entry->offset;
    source.length = entry->length;
  }
  return source;
}

StaticsSource ChooseStatics(FileSession& files, const ClientData& data, const MapFacetFiles& facet, std::uint32_t b) {
  const std::int64_t diff = FindDiffPosition(data.files.StaticsPatchList(facet.facet), b);
  if (diff >= 0) {
    return FromIndex(files, data, facet.staticsDiffIndex, facet.staticsDiffData, static_cast<std::uint32_t>(diff));
  }
  const std::int64_t patch = FindPatch(data.patches, facet.staticsPatchFileId, b);
  if (patch >= 0) {
    const PatchEntry& record = data.patches.entries[static_cast<std::size_t>(patch)];
    return {&data.files.Path(slot::kVerdata), record.offset, record.length};
  }
  return FromIndex(files, data, facet.staticsIndex, facet.staticsData, b);
}

bool InsideBlock(const StaticRecord& record) { return record.x < kBlockSide && record.y < kBlockSide; }

bool IsHidden(std::span<const std::optional<HiddenStatic>> hidden, std::uint32_t b, const StaticRecord& r) {
  for (const std::optional<HiddenStatic>& h : hidden) {
    if (h && static_cast<std::uint32_t>(h->block) == b && h->id == r.id && h->x == r.x && h->y == r.y &&
        h->z == static_cast<std::uint8_t>(r.z) && h->color == r.hue) {
      return true;
    }
  }
  return false;
}

// The records of the statics layer in drawing order.
std::vector<TileComponent> StaticsToDraw(DrawContext& ctx, const DrawRequest& req, const MapFacetFiles& facet,
                                         const std::optional<LandBlock>& land) {
  const std::uint32_t b = req.index;
  std::vector<StaticRecord> records;
  for (const StaticRecord& record : ReadStatics(ctx.files, ctx.data, facet, b)) {
    if (!IsHidden(ctx.hiddenStatics, b, record)) records.push_back(record);
  }
  if (req.flags & kFlagPreviewItems) {
    for (const std::optional<PreviewItem>& item : ctx.previewItems) {
      if (item && static_cast<std::uint32_t>(item->block) == b) {
        records.push_back({item->id, item->x, item->y, static_cast<std::int8_t>(item->z), item->color});
      }
    }
  }
  std::vector<TileComponent> items;
  items.reserve(records.size());
  for (const StaticRecord& r : records) {
    // Only a damaged file (or a preview item from a negative map position)
    // puts a record outside the block; it has no cell to be drawn in.
    if (!InsideBlock(r)) continue;
    if ((req.flags & kFlagLandLayer) && land && r.z < land->z[static_cast<std::size_t>(r.x + kBlockSide * r.y)]) {
      continue;  // under the ground
    }
    items.push_back({r.id, r.x, r.y, r.z, r.hue, std::int64_t{r.z} + StaticHeight(ctx.data.tileData, r.id)});
  }
  SortForDrawing(items, [](std::int64_t a, std::int64_t b2) { return a < b2; });
  return items;
}

void DrawLand(DrawContext& ctx, const DrawRequest& parent, const LandBlock& land, std::int64_t ox, std::int64_t oy) {
  for (std::size_t i = 0; i < land.tiles.size(); ++i) {
    const auto col = static_cast<std::int64_t>(i % kBlockSide);
    const auto row = static_cast<std::int64_t>(i / kBlockSide);
    DrawArtAt(ctx, parent, land.tiles[i], (col - row) * kHalfTile + ox,
              (col + row) * kHalfTile - land.z[i] * kPixelsPerHeight - kHalfTile + oy, 0);
  }
}

}  // namespace

const MapFacetFiles* FindMapFacet(std::uint32_t drawFlags) {
  const auto selector = static_cast<std::uint8_t>(drawFlags >> 8);
  for (const MapFacetFiles& facet : kMapFacets) {
    if (facet.selector == selector) return &facet;
  }
  return nullptr;
}

namespace {

// The land of block `record` of the file at path, which is a map or land patch file, or a map container.
std::optional<LandBlock> ReadBlockOf(FileSession& files, const std::string& path, int map, std::uint64_t record) {
  std::vector<std::uint8_t> bytes;
  if (const ContainerTable* container = files.Container(path)) {
    const ContainerRecord* entry =
        FindContainerEntry(*container, MapEntryName(ContainerMapNumber(*container, map),
                                                    static_cast<std::uint32_t>(record / kBlocksPerMapEntry)));
    if (!entry || !files.ContainerEntryRange(path, *entry, record % kBlocksPerMapEntry * kLandBlockSize,
                                             kLandBlockSize, bytes)) {
      return std::nullopt;
    }
  } else if (!files.ReadRange(path, record * kLandBlockSize, kLandBlockSize, bytes)) {
    return std::nullopt;
  }
  if (bytes.size() != kLandBlockSize) return std::nullopt;
  ByteReader reader(bytes);
  reader.Skip(kLandHeaderSize);
  LandBlock land;
  for (std::size_t i = 0; i < land.tiles.size(); ++i) {
    std::uint8_t z = 0;
    reader.ReadU16(land.tiles[i]);
    reader.ReadU8(z);
    land.z[i] = static_cast<std::int8_t>(z);
  }
  return land;
}

}  // namespace

std::optional<LandBlock> ReadBaseLandBlock(FileSession& files, const ClientData& data, const MapFacetFiles& facet,
                                           std::uint32_t b) {
  return ReadBlockOf(files, data.files.Path(facet.landBlocks), facet.map, b);
}

std::optional<LandBlock> ReadLandBlock(FileSession& files, const ClientData& data, const MapFacetFiles& facet,
                                       std::uint32_t b) {
  const std::int64_t diff = FindDiffPosition(data.files.LandPatchList(facet.facet), b);
  if (diff < 0) return ReadBaseLandBlock(files, data, facet, b);
  return ReadBlockOf(files, data.files.Path(facet.landDiffs), facet.map, static_cast<std::uint64_t>(diff));
}

std::vector<StaticRecord> ReadStatics(FileSession& files, const ClientData& data, const MapFacetFiles& facet,
                                      std::uint32_t b) {
  const StaticsSource source = ChooseStatics(files, data, facet, b);
  std::vector<StaticRecord> records;
  if (source.length == kAbsentLength) return records;
  const std::uint32_t count = static_cast<std::uint16_t>(source.length / kStaticsRecordSize);
  std::vector<std::uint8_t> bytes;
  if (count == 0 || !files.ReadRange(*source.path, source.offset, count * kStaticsRecordSize, bytes)) {
    return records;
  }
  ByteReader reader(bytes);
  for (std::uint32_t k = 0; k < count; ++k) {
    StaticRecord r;
    std::uint8_t z = 0;
    if (!reader.ReadU16(r.id) || !reader.ReadU8(r.x) || !reader.ReadU8(r.y) || !reader.ReadU8(z) ||
        !reader.ReadU16(r.hue)) {
      break;
    }
    r.z = static_cast<std::int8_t>(z);
    records.push_back(r);
  }
  return records;
}

void DrawMapBlock(DrawContext& ctx, const DrawRequest& req) {
  const MapFacetFiles* facet = FindMapFacet(req.flags);
  if (facet == nullptr) return;
  ctx.artSizes.Build(ctx.data.files, ctx.files);
  const std::int64_t ox = RequestXShift(req);
  const std::int64_t oy = RequestYShift(req);
  std::optional<LandBlock> land;
  if (req.flags & kFlagLandLayer) {
    land = ReadLandBlock(ctx.files, ctx.data, *facet, req.index);
    if (land) DrawLand(ctx, req, *land, ox, oy);
  }
  if (req.flags & kFlagStaticsLayer) {
    for (const TileComponent& item : StaticsToDraw(ctx, req, *facet, land)) {
      DrawTileComponent(ctx, req, item, static_cast<std::int32_t>(ox), static_cast<std::int32_t>(oy));
    }
  }
}

}  // namespace tilvo
