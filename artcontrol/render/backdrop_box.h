#pragma once
// The optional room-corner backdrop behind item art: the floor diamond of the
// tile the item stands on, with the two back walls of a room rising from it.

#include <cstdint>

#include "artcontrol/render/draw_request.h"
#include "tilvo/pixel_buffer.h"

namespace tilvo {

// Draws the backdrop for an item of itemHeight rows, centred in the request's
// bounds and shifted by the control's scroll offsets. Pixels are addressed by
// their linear number y * W + x and written whenever that number lies inside
// the picture, so a column outside the row lands on a neighbouring row.
void DrawBackdropBox(PixelBuffer& pixels, const DrawRequest& bounds, std::int32_t xOffset, std::int32_t yOffset,
                     std::int32_t itemHeight);

}  // namespace tilvo
