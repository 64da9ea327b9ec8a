#include "artcontrol/render/pixel_buffer.h"

#include <algorithm>
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
  const auto rowBytes = static_cast<std::size_t>(size.w) * 3;
  pixels.bytes.assign(rowBytes * static_cast<std::size_t>(size.h), 0);
  if (pixels.bytes.empty()) return;
  // The first row pixel by pixel, the others as copies of it.
  for (std::int64_t x = 0; x < size.w; ++x) Store(pixels, x, colour);
  for (std::size_t row = 1; row < static_cast<std::size_t>(size.h); ++row) {
    std::copy_n(pixels.bytes.begin(), rowBytes, pixels.bytes.begin() + static_cast<std::ptrdiff_t>(row * rowBytes));
  }
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
