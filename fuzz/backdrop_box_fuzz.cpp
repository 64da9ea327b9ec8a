// The backdrop box at any picture size, scroll and item height: its lines and
// fills reach the picture only through linear pixel numbers inside it, its
// loops end however far the scroll, and it writes only its own colours.

#include <cstdint>

#include "artcontrol/render/backdrop_box.h"
#include "artcontrol/render/pixel_buffer.h"

namespace {

std::int32_t Signed32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                   static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  if (size < 12) return 0;
  const std::int32_t w = (data[0] % 33) * 8;  // 0 to 256
  const std::int32_t h = (data[1] % 33) * 8;
  const std::int32_t itemHeight = (data[2] | (data[3] << 8)) % 1025;
  // Small scrolls are the interesting ones most of the time; the top bit of
  // the fourth byte lets whole 32-bit values through.
  std::int32_t xOffset = Signed32(data + 4);
  std::int32_t yOffset = Signed32(data + 8);
  if ((data[7] & 0x80) == 0) {
    xOffset %= 4096;
    yOffset %= 4096;
  }
  PixelBuffer pixels;
  FillPicture(pixels, {w, h}, 0x00F0F0F0);
  DrawRequest bounds;
  bounds.right = w;
  bounds.bottom = h;
  DrawBackdropBox(pixels, bounds, xOffset, yOffset, itemHeight);
  if (pixels.bytes.size() != static_cast<std::size_t>(w) * h * 3) __builtin_trap();
  for (std::size_t i = 0; i < pixels.bytes.size(); i += 3) {
    const std::uint32_t c = pixels.bytes[i] << 16 | pixels.bytes[i + 1] << 8 | pixels.bytes[i + 2];
    if (c != 0xF0F0F0 && c != 0 && c != 0xEAEDEE && c != 0x656D6F && c != 0xAAAAAA) __builtin_trap();
  }
  return 0;
}
