#pragma once
// Items placed on the isometric tile grid, as multis and map blocks draw
// them. A tile (x, y) at height z lies (x − y) × 22 pixels right of the
// grid's origin and (x + y) × 22 − z × 4 below it; an item stands on its tile
// lifted by half its picture height from ArtSizeTable. Components are drawn
// cell by cell, rows of cells from the top, and within a cell by a sort key.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"

namespace tilvo {

// Half a tile's width in pixels, and the pixels per unit of height.
inline constexpr std::int64_t kHalfTile = 22;
inline constexpr std::int64_t kPixelsPerHeight = 4;

// One item to draw on the grid.
struct TileComponent {
  std::uint16_t id = 0;  // item id; its art entry is id + 0x4000
  std::int32_t x = 0;    // tile column and row from the grid's origin
  std::int32_t y = 0;
  std::int32_t z = 0;    // height units
  std::uint32_t hue = 0;
  std::int64_t key = 0;  // z + tile-data height; the order within a cell
};

// Draws art entry `entry` with a type 0 request in the parent's bounds: the
// given offsets and hue, flags 0.
void DrawArtAt(DrawContext& ctx, const DrawRequest& parent, std::uint32_t entry, std::int64_t xOffset,
               std::int64_t yOffset, std::uint32_t hue);

// Draws the item with a type 0 request in the parent's bounds, the grid's
// origin moved by (ox, oy): x offset (x − y) × 22 + ox, y offset
// (x + y) × 22 − z × 4 − ah / 2 + oy with ah the ArtSizeTable height.
void DrawTileComponent(DrawContext& ctx, const DrawRequest& parent, const TileComponent& item, std::int32_t ox,
                       std::int32_t oy);

// Puts components in drawing order: by row (y), then column (x), then key
// (keyLess), equal keys in their given order. This is the order of a grid of
// ordered cell lists drawn row by row, without a grid that damaged
// coordinates could make enormous.
template <typename KeyLess>
void SortForDrawing(std::vector<TileComponent>& items, KeyLess keyLess) {
  std::stable_sort(items.begin(), items.end(), [&](const TileComponent& a, const TileComponent& b) {
    if (a.y != b.y) return a.y < b.y;
    if (a.x != b.x) return a.x < b.x;
    return keyLess(a.key, b.key);
  });
}

}  // namespace tilvo
