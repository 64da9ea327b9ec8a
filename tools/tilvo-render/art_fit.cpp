#include "art_fit.h"

#include <algorithm>

namespace tilvo::render_tool {
namespace {

constexpr std::uint8_t kKeyBlue = (kKeyBackground >> 16) & 0xFF;
constexpr std::uint8_t kKeyGreen = (kKeyBackground >> 8) & 0xFF;
constexpr std::uint8_t kKeyRed = kKeyBackground & 0xFF;

bool IsKey(const std::uint8_t* pixel) { return pixel[0] == kKeyBlue && pixel[1] == kKeyGreen && pixel[2] == kKeyRed; }

// The smallest rectangle holding every pixel that is not the key; right and bottom exclusive, empty when none.
Rect ArtBounds(const PixelBuffer& picture) {
  Rect art{picture.w, picture.h, 0, 0};
  for (std::int32_t y = 0; y < picture.h; ++y) {
    const std::uint8_t* row = picture.bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.w) * 3;
    for (std::int32_t x = 0; x < picture.w; ++x) {
      if (IsKey(row + static_cast<std::size_t>(x) * 3)) continue;
      art.left = std::min(art.left, x);
      art.right = std::max(art.right, x + 1);
      art.top = std::min(art.top, y);
      art.bottom = y + 1;
    }
  }
  return art;
}

FittedArt Cut(const PixelBuffer& picture, const Rect& art) {
  FittedArt fitted;
  fitted.w = art.right - art.left;
  fitted.h = art.bottom - art.top;
  const auto pixels = static_cast<std::size_t>(fitted.w) * static_cast<std::size_t>(fitted.h);
  fitted.bgr.resize(pixels * 3);
  fitted.covered.resize(pixels);
  for (std::int32_t y = 0; y < fitted.h; ++y) {
    const std::uint8_t* from = picture.bytes.data() + (static_cast<std::size_t>(y + art.top) * static_cast<std::size_t>(picture.w) +
                                                      static_cast<std::size_t>(art.left)) * 3;
    const std::size_t to = static_cast<std::size_t>(y) * static_cast<std::size_t>(fitted.w);
    std::copy_n(from, static_cast<std::size_t>(fitted.w) * 3, fitted.bgr.begin() + static_cast<std::ptrdiff_t>(to * 3));
    for (std::int32_t x = 0; x < fitted.w; ++x) {
      fitted.covered[to + static_cast<std::size_t>(x)] = IsKey(from + static_cast<std::size_t>(x) * 3) ? 0 : 1;
    }
  }
  return fitted;
}

}  // namespace

FittedArt FitArt(CTilvoCtrl& ctrl, std::int16_t type, std::int32_t index, std::int16_t hue, std::int32_t start,
                 std::int32_t maxSide) {
  ctrl.SetBkColor(kKeyBackground, kKeyBackground);
  ctrl.SetOffset(0, 0);
  ctrl.SetDrawFlags(0);
  ctrl.SetObject(type, index);
  for (std::int32_t side = std::max(start, 8);; side = std::min(side * 2, maxSide)) {
    ctrl.SetArtColor(hue);  // paint resets it for types that take no hue
    ctrl.OnDraw({0, 0, side, side});
    const PixelBuffer& picture = ctrl.Picture();
    const Rect art = ArtBounds(picture);
    if (art.right <= art.left) return {};
    const bool reachesEdge = art.left == 0 || art.top == 0 || art.right == picture.w || art.bottom == picture.h;
    if (!reachesEdge || side >= maxSide) return Cut(picture, art);
  }
}

}  // namespace tilvo::render_tool
