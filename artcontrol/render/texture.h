#pragma once
// Textures: the square pictures the client stretches over land (texmaps.mul
// with texidx.mul), 16-bit client colours row after row from byte 0.

#include <cstdint>

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/indexed_art.h"

namespace tilvo {

// The texture's edge: the low 16 bits of extra when extra is not 0; else 64
// for an entry of 0x2000 bytes and 128 for any other length.
std::uint32_t TextureEdge(std::uint32_t extra, std::uint32_t length);

// Draws a texture centred in the bounds, unhued, colour 0 as black. Nothing
// for an edge of 0; an edge larger than the data draws the colours there are
// and stops at the entry's end.
void DrawTexture(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry);

}  // namespace tilvo
