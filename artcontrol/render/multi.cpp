#include "artcontrol/render/multi.h"

#include "artcontrol/clientdata/byte_reader.h"

namespace tilvo {

namespace {

constexpr std::uint32_t kComponentSize = 12;

}  // namespace

std::vector<TileComponent> ReadMultiComponents(std::span<const std::uint8_t> bytes, std::uint32_t length,
                                               const TileDataImage& tileData) {
  const auto count = static_cast<std::uint16_t>(length / kComponentSize);
  std::vector<TileComponent> parts;
  ByteReader reader(bytes);
  for (std::uint32_t k = 0; k < count; ++k) {
    TileComponent part;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;
    std::uint32_t flags = 0;
    // A file shorter than its index says ends the list at its last whole component.
    if (!reader.ReadU16(part.id) || !reader.ReadI16(x) || !reader.ReadI16(y) || !reader.ReadI16(z) ||
        !reader.ReadU32(flags)) {
      break;
    }
    part.x = x;
    part.y = y;
    part.z = z;
    part.key = std::int64_t{z} + StaticHeight(tileData, part.id);
    parts.push_back(part);
  }
  return parts;
}

void DrawMulti(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry) {
  ctx.artSizes.Build(ctx.data.files);
  std::vector<TileComponent> parts = ReadMultiComponents(entry.bytes, entry.length, ctx.data.tileData);
  SortForDrawing(parts, [](std::int64_t a, std::int64_t b) {
    return static_cast<std::uint32_t>(a) < static_cast<std::uint32_t>(b);
  });
  for (const TileComponent& part : parts) DrawTileComponent(ctx, req, part, 0, 0);
}

}  // namespace tilvo
