#pragma once
// Lights (light.mul with lightidx.mul): a square of 8-bit values row after
// row from byte 0, its edge the low 16 bits of the extra value.

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/indexed_art.h"

namespace tilvo {

// Draws a light centred in the bounds, unhued: each byte v becomes the client
// colour v × 256 (red (v / 4) mod 32, green (v mod 4) × 8, blue 0), 0 as
// black. Nothing for an edge of 0; a square larger than the entry stops at the
// entry's end.
void DrawLight(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry);

}  // namespace tilvo
