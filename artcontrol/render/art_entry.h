#pragma once
// Art entries of "art.mul": item pictures and land tiles, told apart by their
// content. An item entry starts with a 32-bit header of 1 to 0xFFFF:
//   0        4            header (its value is not used otherwise)
//   4        2            width, 1 to 1024
//   6        2            height, 1 to 1024
//   8        2 x height   row starts, in 16-bit words from the end of this table
//   8+2h     rest         rows of runs: x skip, run length, that many colours; 0, 0 ends a row
// Any other first word means a land tile: 1012 colours filling a 44 x 44
// diamond row by row, taken from byte 4 onward.
// Every read stops at the entry's end: what lies beyond is never drawn.

#include <cstdint>
#include <span>

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"

namespace tilvo {

// Draws entry req.index (through ArtCache) as item art or a land tile; nothing for an entry without bytes.
void DrawArtEntry(DrawContext& ctx, const DrawRequest& req);

// Draws an entry's bytes as DrawArtEntry does: nothing for fewer than 4 bytes.
void DrawArtBytes(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry);

// Item art centred in the bounds: nothing for a width or height of 0 or above
// 1024 or a row-start table cut short; decoding ends at a run whose skip plus
// length is above 2048 or at the entry's end (the runs drawn stay).
void DrawItemArt(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry);

// A land tile: the diamond's top row half a tile above the bounds' middle row, centred across.
void DrawLandTile(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry);

}  // namespace tilvo
