#include "artcontrol/render/pixel_buffer.h"

#include <cstddef>

namespace tilvo {

namespace {

std::int64_t PixelCount(const PixelBuffer& pixels) { return std::int64_t{pixels.w} * pixels.h; }

void Store(PixelBuffer& pixels, std::int64_t p, std::uint32_t colour) {
  auto at = static_cast<std::size_t>(p) * 3;
  pixels.bytes[at] = static_cast<std::uint8_t>(colour >> 16);
  pixels.bytes[at + 1] = static_cast<std::uint8_t>(colour >> 8);
  pixels.bytes[at + 2] = static_cast<std::uint8_t>(colour);
}

std::int32_t RoundDownTo8(std::int64_t extent) { return static_cast<std::int32_t>(extent - extent % 8); }

}  // namespace

PictureSize PictureSizeFor(const Rect& bounds) {
  std::int32_t w = RoundDownTo8(std::int64_t{bounds.right} - bounds.left);
  std::int32_t h = RoundDownTo8(std::int64_t{bounds.bottom} - bounds.top);
  if (w < 0 || h < 0 || std::int64_t{w} * h > kMaxPicturePixels) return {};
  return {w, h};
}

void FillPicture(PixelBuffer& pixels, PictureSize size, std::uint32_t colour) {
  pixels.w = size.w;
  pixels.h = size.h;
  auto count = static_cast<std::size_t>(PixelCount(pixels));
  pixels.bytes.assign(count * 3, 0);
  for (std::size_t p = 0; p < count; ++p) Store(pixels, static_cast<std::int64_t>(p), colour);
}

void PutPixel(PixelBuffer& pixels, std::int64_t x, std::int64_t y, std::uint32_t colour, const DrawRequest& bounds) {
  if (x < 0 || y < 0 || x >= BoundsWidth(bounds) || y >= BoundsHeight(bounds)) return;
  // The bounds always match the picture; the second check keeps a request
  // with other bounds from writing outside it.
  if (x >= pixels.w || y >= pixels.h) return;
  Store(pixels, y * pixels.w + x, colour);
}

bool PutLinearPixel(PixelBuffer& pixels, std::int64_t p, std::uint32_t colour) {
  if (p < 0 || p >= PixelCount(pixels)) return false;
  Store(pixels, p, colour);
  return true;
}

int BlueAtLinear(const PixelBuffer& pixels, std::int64_t p) {
  if (p < 0 || p >= PixelCount(pixels)) return -1;
  return pixels.bytes[static_cast<std::size_t>(p) * 3];
}

}  // namespace tilvo
