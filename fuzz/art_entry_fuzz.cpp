// Item art and land tile decoding of arbitrary entry bytes, at arbitrary
// picture sizes, scroll offsets, request shifts and hues, with and without the
// backdrop: nothing is read outside the entry or written outside the picture,
// and the picture keeps its size.

#include <cstdint>
#include <memory>

#include "artcontrol/render/art_entry.h"
#include "artcontrol/render/pixel_buffer.h"

namespace {

std::int32_t Signed16(const std::uint8_t* p) { return static_cast<std::int16_t>(p[0] | (p[1] << 8)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  constexpr std::size_t kParams = 12;
  if (size < kParams) return 0;
  static const auto clientData = [] {
    auto d = std::make_unique<ClientData>();
    d->hues.blocks.resize(3);
    for (auto& block : d->hues.blocks) {
      for (auto& entry : block.entries) {
        for (std::size_t i = 0; i < 32; ++i) entry.colors[i] = static_cast<std::uint16_t>(i * 0x0421);
      }
    }
    return d;
  }();
  const std::int32_t w = (data[0] % 17) * 8;  // 0 to 128
  const std::int32_t h = (data[1] % 17) * 8;
  PixelBuffer pixels;
  FillPicture(pixels, {w, h}, 0x00F0F0F0);
  ArtCache cache;
  ArtSizeTable sizes;
  // Offsets reach well past the picture, both ways.
  DrawContext ctx{pixels, *clientData, cache, sizes, Signed16(data + 2) * 4, Signed16(data + 4) * 4};
  DrawRequest req;
  req.right = w;
  req.bottom = h;
  req.xOffset = Signed16(data + 6) << 8 | data[8];
  req.yOffset = static_cast<std::int32_t>(data[9]) - 128;
  req.hue = data[10] % 32;
  req.flags = data[11] & 1;
  DrawArtBytes(ctx, req, std::span<const std::uint8_t>(data + kParams, size - kParams));
  if (pixels.w != w || pixels.h != h || pixels.bytes.size() != static_cast<std::size_t>(w) * h * 3) __builtin_trap();
  return 0;
}
