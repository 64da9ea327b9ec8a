#pragma once
// The control's picture: plain memory that the host copies to its window.

#include <cstdint>
#include <vector>

namespace tilvo {

// A rectangle in the host window's pixels; right and bottom are exclusive.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// w x h pixels of three bytes each, blue, green, red, rows top to bottom with
// no padding: pixel (x, y) starts at byte (y * w + x) * 3.
struct PixelBuffer {
  std::int32_t w = 0;
  std::int32_t h = 0;
  std::vector<std::uint8_t> bytes;
};

}  // namespace tilvo
