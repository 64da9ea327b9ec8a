#pragma once
// Multis: buildings and ships stored in multi.mul (index multi.idx) as a list
// of 12-byte components:
//   0  2  item id (art entry item id + 0x4000)
//   2  2  x, signed tiles from the multi's origin
//   4  2  y, signed
//   6  2  z, signed height units
//   8  4  flags; not used (the item's tile-data height takes its place)

#include <cstdint>
#include <span>
#include <vector>

#include "artcontrol/clientdata/tile_data.h"
#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/indexed_art.h"
#include "artcontrol/render/tile_component.h"

namespace tilvo {

// The components of a multi entry in file order, each keyed by z + its
// tile-data height. The count is length / 12 kept as a 16-bit number; only
// the components wholly inside the bytes are read.
std::vector<TileComponent> ReadMultiComponents(std::span<const std::uint8_t> bytes, std::uint32_t length,
                                               const TileDataImage& tileData);

// DrawMulti: builds ArtSizeTable, then draws every component as item art on
// the grid whose origin is the centre of the bounds, cell by cell, within a
// cell by key compared as unsigned 32-bit numbers (a negative key sorts after
// every other), hue 0. The request's own offsets, hue and flags are not used.
void DrawMulti(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry);

}  // namespace tilvo
