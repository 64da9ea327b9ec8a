#pragma once
// NPC animation frames (anim.mul, anim2.mul, anim3.mul with their .idx files).
//   animation entry: 0    512        palette, 256 client colours
//                    512  4          frame count
//                    516  4 x count  frame positions, counted from byte 512
//   frame:           0  2  signed, added to the starting row
//                    2  4  not used
//                    6  2  signed height, subtracted from the starting row
//                    8     chunks: a 32-bit header h, then (h & 0xFFF) palette indexes;
//                          h's low or high 16 bits equal to 0x7FFF end the frame
// A chunk starts (h as signed 32-bit) >> 22 columns from the middle; its row
// tag is (h >> 12) & 0xF, and the frame moves down one row each time the tag
// changes, so rows are counted rather than read.

#include <cstdint>
#include <span>

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/indexed_art.h"

namespace tilvo {

// Draws frame 0 of the entry: its first row at H / 2 + yOffset − height +
// offset-0 value, each chunk's pixels from W / 2 + xOffset + x shift, every
// byte drawn (palette colour 0 included) and recoloured by the request's hue,
// which paint sets to ArtColor. The request's own offsets are not used.
// Nothing for an entry without the palette and a frame count, a frame count of
// 0, or a frame 0 whose 8-byte header is not in the entry; a frame without an
// end mark ends at the entry's end, and a chunk longer than the entry draws the
// bytes it has.
void DrawAnimationFrame(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry);

// The decoder of art types 1, 9 and 10: DrawAnimationFrame with the entry's bytes.
void DrawCharacter(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry);

}  // namespace tilvo
