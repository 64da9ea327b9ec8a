#include "artcontrol/render/multi.h"

#include "artcontrol/clientdata/byte_reader.h"

namespace tilvo {

namespace {

constexpr std::uint32_t kClassicComponent = 12;
constexpr std::uint32_t kWideComponent = 16;

// Item, x, y and z of one component, keyed by z + the item's height.
bool ReadPlacement(ByteReader& reader, const TileDataImage& tileData, TileComponent& part) {
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t z = 0;
  if (!reader.ReadU16(part.id) || !reader.ReadI16(x) || !reader.ReadI16(y) || !reader.ReadI16(z)) return false;
  part.x = x;
  part.y = y;
  part.z = z;
  part.key = std::int64_t{z} + StaticHeight(tileData, part.id);
  return true;
}

}  // namespace

std::uint32_t MultiComponentSize(std::uint32_t length, TileDataLayout layout) {
  const bool classic = length % kClassicComponent == 0;
  const bool wide = length % kWideComponent == 0;
  if (classic != wide) return classic ? kClassicComponent : kWideComponent;
  return layout == TileDataLayout::kWideFlags ? kWideComponent : kClassicComponent;
}

std::vector<TileComponent> ReadMultiComponents(std::span<const std::uint8_t> bytes, std::uint32_t length,
                                               const TileDataImage& tileData) {
  const std::uint32_t size = MultiComponentSize(length, tileData.layout);
  const auto count = static_cast<std::uint16_t>(length / size);
  std::vector<TileComponent> parts;
  ByteReader reader(bytes);
  for (std::uint32_t k = 0; k < count; ++k) {
    TileComponent part;
    // A file shorter than its index says ends the list at its last whole component.
    if (!ReadPlacement(reader, tileData, part) || !reader.Skip(size - 8)) break;
    parts.push_back(part);
  }
  return parts;
}

std::vector<TileComponent> ReadCollectionComponents(std::span<const std::uint8_t> bytes,
                                                    const TileDataImage& tileData) {
  ByteReader reader(bytes);
  std::uint32_t id = 0;
  std::uint32_t count = 0;
  std::vector<TileComponent> parts;
  if (!reader.ReadU32(id) || !reader.ReadU32(count)) return parts;
  for (std::uint32_t k = 0; k < count; ++k) {
    TileComponent part;
    std::uint16_t flags = 0;
    std::uint32_t words = 0;
    if (!ReadPlacement(reader, tileData, part) || !reader.ReadU16(flags) || !reader.ReadU32(words) ||
        words > reader.Remaining() / 4 || !reader.Skip(std::size_t{words} * 4)) {
      break;
    }
    parts.push_back(part);
  }
  return parts;
}

void DrawMulti(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry) {
  ctx.artSizes.Build(ctx.data.files, ctx.files);
  std::vector<TileComponent> parts = entry.fromContainer ? ReadCollectionComponents(entry.bytes, ctx.data.tileData)
                                                         : ReadMultiComponents(entry.bytes, entry.length, ctx.data.tileData);
  SortForDrawing(parts, [](std::int64_t a, std::int64_t b) {
    return static_cast<std::uint32_t>(a) < static_cast<std::uint32_t>(b);
  });
  for (const TileComponent& part : parts) DrawTileComponent(ctx, req, part, 0, 0);
}

}  // namespace tilvo
