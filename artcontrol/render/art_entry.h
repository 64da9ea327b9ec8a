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
// Entries are decoded once into an ArtPicture, which ArtCache keeps.

#include <cstdint>
#include <span>

#include "artcontrol/render/art_picture.h"
#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"

namespace tilvo {

// Draws entry req.index (through ArtCache) as item art or a land tile; nothing for an entry without bytes.
void DrawArtEntry(DrawContext& ctx, const DrawRequest& req);

// Draws an entry's bytes as DrawArtEntry does: nothing for fewer than 4 bytes.
void DrawArtBytes(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry);

// Draws a decoded entry through the request's hue. Item art is centred in the
// bounds by its width and height, over the backdrop box when the request's
// flags ask for it; a land tile's top row lies half a tile above the bounds'
// middle row, centred across. Both move by the control's scroll and the
// request's own offsets.
void DrawArtPicture(DrawContext& ctx, const DrawRequest& req, const ArtPicture& art);

}  // namespace tilvo
