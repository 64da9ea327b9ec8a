#include "artcontrol/render/tile_component.h"

#include "artcontrol/render/draw_object.h"

namespace tilvo {

namespace {

constexpr std::uint32_t kItemArtBase = 0x4000;

}  // namespace

void DrawArtAt(DrawContext& ctx, const DrawRequest& parent, std::uint32_t entry, std::int64_t xOffset,
               std::int64_t yOffset, std::uint32_t hue) {
  DrawRequest req;
  req.type = art_type::kItems;  // a component request never nests again
  req.left = parent.left;
  req.top = parent.top;
  req.right = parent.right;
  req.bottom = parent.bottom;
  req.index = entry;
  // The art path reads only the low 16 bits of each offset, as a signed number.
  req.xOffset = static_cast<std::int32_t>(xOffset);
  req.yOffset = static_cast<std::int32_t>(yOffset);
  req.hue = hue;
  req.flags = 0;
  DrawObject(ctx, req);
}

void DrawTileComponent(DrawContext& ctx, const DrawRequest& parent, const TileComponent& item, std::int32_t ox,
                       std::int32_t oy) {
  const std::uint32_t entry = item.id + kItemArtBase;
  const std::int64_t lift = ctx.artSizes.Height(entry) / 2;
  DrawArtAt(ctx, parent, entry, (std::int64_t{item.x} - item.y) * kHalfTile + ox,
            (std::int64_t{item.x} + item.y) * kHalfTile - std::int64_t{item.z} * kPixelsPerHeight - lift + oy,
            item.hue);
}

}  // namespace tilvo
