#pragma once
// Placement of the single pictures (gumps, textures, lights): centred in the
// bounds and moved by the control's scroll offsets only; the request's own
// offsets are not used.

#include <cstdint>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/pixel_buffer.h"

namespace tilvo {

// Where column 0 and row 0 of a pw x ph picture land.
struct PictureOrigin {
  std::int64_t left = 0;
  std::int64_t top = 0;
};

// W / 2 − pw / 2 + xOffset and H / 2 − ph / 2 + yOffset: the bounds halved
// (truncating toward zero) apart from the picture, which is halved unsigned.
inline PictureOrigin CentredOrigin(const DrawContext& ctx, const DrawRequest& req, std::uint32_t pw, std::uint32_t ph) {
  return {BoundsWidth(req) / 2 - static_cast<std::int64_t>(pw / 2) + ctx.xOffset,
          BoundsHeight(req) / 2 - static_cast<std::int64_t>(ph / 2) + ctx.yOffset};
}

// Draws an edge x edge square row after row, each pixel's colour taken with
// next(reader, colour); stops, keeping what is drawn, when next finds the
// entry at its end.
template <typename NextColour>
void DrawSquare(DrawContext& ctx, const DrawRequest& req, std::uint32_t edge, ByteReader& reader, NextColour next) {
  const PictureOrigin origin = CentredOrigin(ctx, req, edge, edge);
  for (std::uint32_t row = 0; row < edge; ++row) {
    for (std::uint32_t col = 0; col < edge; ++col) {
      std::uint32_t colour = 0;
      if (!next(reader, colour)) return;
      PutPixel(ctx.pixels, origin.left + col, origin.top + row, colour, req);
    }
  }
}

}  // namespace tilvo
