#pragma once
// One entry's picture cut to the art itself, for thumbnails and exported
// files: the control draws the entry on a background that no client colour
// gives, on a picture that grows until the art fits, and the picture is cut
// to the pixels the art covers.

#include <cstdint>
#include <vector>

#include "tilvo/tilvo.h"

namespace tilvo::render_tool {

// The background the art is drawn on: client colours give channels of
// c × 255 / 31 (0, 8, 16, ...), so red 1, green 2, blue 3 is never art.
inline constexpr std::int32_t kKeyBackground = 0x00030201;

// The art's pixels: blue, green, red rows top-down as in the control's
// picture, and one byte a pixel that is 1 where the art covers it.
struct FittedArt {
  std::int32_t w = 0;
  std::int32_t h = 0;
  std::vector<std::uint8_t> bgr;
  std::vector<std::uint8_t> covered;
  bool Empty() const { return w == 0 || h == 0; }
};

// Draws entry `index` of art type `type` in hue `hue` with the control (its
// background, offsets, flags, type, index and colour are set for it), on a
// square picture of `start` pixels a side that doubles, up to `maxSide`, while
// the art reaches its edge, then cuts the picture to the art. Empty when the
// entry draws nothing.
FittedArt FitArt(CTilvoCtrl& ctrl, std::int16_t type, std::int32_t index, std::int16_t hue, std::int32_t start,
                 std::int32_t maxSide);

}  // namespace tilvo::render_tool
