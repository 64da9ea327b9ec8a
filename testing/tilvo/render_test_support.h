#pragma once
// Shared by the render tests: a picture with its drawing context, and the
// pictures that item art and land tiles should give, worked out from the
// fixture's description of the art rather than from its bytes.

#include <memory>
#include <span>
#include <vector>

#include "artcontrol/render/colour.h"
#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/pixel_buffer.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo::testing {

// The background every test picture starts from; no client colour gives it.
inline constexpr std::uint32_t kBackground = 0x00F0F0F0;

// A w x h picture filled with kBackground, and a context to draw into it.
struct Canvas {
  Canvas(std::int32_t w, std::int32_t h) : data(std::make_unique<ClientData>()) {
    FillPicture(pixels, {w, h}, kBackground);
  }
  DrawContext Context(std::int32_t xOffset = 0, std::int32_t yOffset = 0) {
    return {pixels, *data, cache, sizes, xOffset, yOffset};
  }
  // A request for the whole picture.
  DrawRequest Request(std::int32_t type = 0, std::uint32_t index = 0) const {
    DrawRequest req;
    req.type = type;
    req.right = pixels.w;
    req.bottom = pixels.h;
    req.index = index;
    return req;
  }

  std::unique_ptr<ClientData> data;
  PixelBuffer pixels;
  ArtCache cache;
  ArtSizeTable sizes;
  FileSession files;  // for the readers a test calls directly
};

// Stores a colour into an expected picture, clipped like PutPixel.
inline void Expect(PixelBuffer& picture, std::int64_t x, std::int64_t y, std::uint32_t colour) {
  DrawRequest all;
  all.right = picture.w;
  all.bottom = picture.h;
  PutPixel(picture, x, y, colour, all);
}

// The picture item art should give, drawn at (left, top) with the hue; at
// most `rows` rows.
inline PixelBuffer ExpectedItem(const PixelBuffer& background, const mkclient::ItemArt& art, std::int64_t left,
                                std::int64_t top, std::uint32_t hue, const HueTable& hues, std::size_t rows = 1024) {
  PixelBuffer picture = background;
  for (std::size_t y = 0; y < art.rows.size() && y < rows; ++y) {
    std::int64_t x = 0;
    for (const mkclient::ArtRun& run : art.rows[y]) {
      x += run.skip;
      for (std::uint16_t colour : run.colors) Expect(picture, left + x++, top + static_cast<std::int64_t>(y), ApplyHue(colour, hue, hues));
    }
  }
  return picture;
}

// The diamond's pixels in drawing order: row i (0 to 44) covers columns 22 - k to 21 + k.
struct DiamondPixel {
  int row, col;
};
inline std::vector<DiamondPixel> DiamondOrder() {
  std::vector<DiamondPixel> order;
  for (int i = 0; i < 45; ++i) {
    int k = i <= 22 ? i : 45 - i;
    for (int col = 22 - k; col <= 21 + k; ++col) order.push_back({i, col});
  }
  return order;
}

// The picture a land tile entry of the given colours should give: the
// colours are taken from the third on, and pixels past the entry stay.
inline PixelBuffer ExpectedLand(const PixelBuffer& background, const std::vector<std::uint16_t>& colours,
                                std::int64_t left, std::int64_t top, std::uint32_t hue, const HueTable& hues) {
  PixelBuffer picture = background;
  std::vector<DiamondPixel> order = DiamondOrder();
  for (std::size_t m = 0; m < order.size() && m + 2 < colours.size(); ++m) {
    Expect(picture, left + order[m].col, top + order[m].row, ApplyHue(colours[m + 2], hue, hues));
  }
  return picture;
}

// Number of pixels that differ from the background colour.
inline int DrawnPixels(const PixelBuffer& picture, std::uint32_t background = kBackground) {
  int drawn = 0;
  for (std::size_t i = 0; i + 2 < picture.bytes.size(); i += 3) {
    std::uint32_t colour = picture.bytes[i] << 16 | picture.bytes[i + 1] << 8 | picture.bytes[i + 2];
    if (colour != background) ++drawn;
  }
  return drawn;
}

// The colour 0x00BBGGRR at (x, y).
inline std::uint32_t PixelAt(const PixelBuffer& picture, int x, int y) {
  std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.w) + static_cast<std::size_t>(x)) * 3;
  return static_cast<std::uint32_t>(picture.bytes[at] << 16 | picture.bytes[at + 1] << 8 | picture.bytes[at + 2]);
}

}  // namespace tilvo::testing
