#pragma once
// Multis: buildings and ships. multi.mul (index multi.idx) holds each as a
// list of components of 12 bytes, or of 16 in clients with the wide-flags
// tile data:
//   0  2  item id (art entry item id + 0x4000)
//   2  2  x, signed tiles from the multi's origin
//   4  2  y, signed
//   6  2  z, signed height units
//   8  4  flags (8 in the 16-byte records); not used (the item's tile-data
//         height takes their place)
// A container ("MultiCollection.uop") holds each as u32 multi id, u32
// component count, then per component u16 item, i16 x, y, z, u16 flags, u32
// n and n more 32-bit words.

#include <cstdint>
#include <span>
#include <vector>

#include "artcontrol/clientdata/tile_data.h"
#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/indexed_art.h"
#include "artcontrol/render/tile_component.h"

namespace tilvo {

// The size of the components of a multi.mul entry of `length` bytes: 12 or
// 16 where only one of them divides the length, else 16 with the wide-flags
// tile data and 12 with the others.
std::uint32_t MultiComponentSize(std::uint32_t length, TileDataLayout layout);

// The components of a multi.mul entry in file order, each keyed by z + its
// tile-data height. The count is length / the component size, kept as a
// 16-bit number; only the components wholly inside the bytes are read.
std::vector<TileComponent> ReadMultiComponents(std::span<const std::uint8_t> bytes, std::uint32_t length,
                                               const TileDataImage& tileData);

// The components of a container's multi entry, keyed the same way: as many as
// its count says while they lie wholly inside the bytes.
std::vector<TileComponent> ReadCollectionComponents(std::span<const std::uint8_t> bytes,
                                                    const TileDataImage& tileData);

// DrawMulti: builds ArtSizeTable, then draws every component as item art on
// the grid whose origin is the centre of the bounds, cell by cell, within a
// cell by key compared as unsigned 32-bit numbers (a negative key sorts after
// every other), hue 0. The request's own offsets, hue and flags are not used.
void DrawMulti(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry);

}  // namespace tilvo
