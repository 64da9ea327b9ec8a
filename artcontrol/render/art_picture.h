#pragma once
// ArtPicture: an art entry decoded once into the spans of pixels that drawing
// it stores, so that drawing it again is one clipped copy per span instead of
// a walk through its runs with a check per pixel. Each pixel is kept twice:
// as the three bytes it is stored as without a hue (blue, green, red, as in
// the picture), and as its shade (red + green + blue) / 3, the entry of a
// hue's ramp that recolours it. The spans are in drawing order, so a picture
// whose spans overlap still comes out as decoding pixel by pixel draws it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "artcontrol/clientdata/hue_table.h"
#include "artcontrol/render/draw_request.h"
#include "tilvo/pixel_buffer.h"

namespace tilvo {

// What an entry's first 32-bit word made of it.
enum class ArtKind : std::uint8_t {
  kNone,  // nothing to draw: fewer than 4 bytes, or item art with a bad header
  kItem,  // item art: drawn centred by its width and height, over the backdrop when asked
  kLand,  // a land tile: the 44 x 44 diamond, rows 0 to 44
};

// A run of pixels on one row.
struct ArtSpan {
  std::int64_t x = 0;      // first column, from the picture's left edge
  std::uint32_t row = 0;   // from the picture's top edge
  std::uint32_t count = 0; // pixels
  std::size_t first = 0;   // index of its first pixel in the picture's pixel arrays
};

struct ArtPicture {
  ArtKind kind = ArtKind::kNone;
  std::uint16_t width = 0;   // item art: the header's width and height
  std::uint16_t height = 0;
  std::vector<ArtSpan> spans;         // in drawing order
  std::vector<std::uint8_t> colours;  // 3 bytes per pixel: the colour value unhued, blue first
  std::vector<std::uint8_t> shades;   // 1 byte per pixel: its index into a hue's ramp
  // The columns and rows the spans reach: [left, right) and [0, rows).
  std::int64_t left = 0;
  std::int64_t right = 0;
  std::uint32_t rows = 0;

  // The memory the picture holds, in bytes.
  std::size_t MemoryBytes() const;
};

// Decodes an entry of the art file: item art when its first 32-bit word is 1
// to 0xFFFF, a land tile otherwise, nothing for fewer than 4 bytes. Item art
// keeps the spans its runs give until a run's skip plus length passes 2048 or
// the entry ends; a bad width or height, or a row-start table cut short,
// gives nothing. A land tile takes its colours from byte 4 on, as far as the
// entry reaches.
ArtPicture DecodeArtPicture(std::span<const std::uint8_t> entry);

// Stores the picture's pixels with its column 0 and row 0 at (left, top),
// recoloured through the ramp when one is given, clipped as PutPixel clips:
// to the request's bounds and the picture.
void DrawArtSpans(PixelBuffer& pixels, const DrawRequest& bounds, const ArtPicture& art, std::int64_t left,
                  std::int64_t top, const HueEntry* ramp);

}  // namespace tilvo
