// NPC frame decoding of arbitrary animation entries, hued or not: frame
// counts of 0, frame positions and chunks beyond the entry and frames without
// an end mark all stop at the entry's end.

#include <memory>

#include "artcontrol/render/character_art.h"
#include "fuzz_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  fuzz::Params p(data, size);
  static const auto client = [] {
    auto d = std::make_unique<ClientData>();
    d->hues.blocks.resize(2);
    for (auto& block : d->hues.blocks) {
      for (auto& entry : block.entries) {
        for (std::size_t i = 0; i < 32; ++i) entry.colors[i] = static_cast<std::uint16_t>(i * 0x0421);
      }
    }
    return d;
  }();
  const std::int32_t w = p.Side();
  const std::int32_t h = p.Side();
  const std::int32_t xOffset = p.S16();
  const std::int32_t yOffset = p.S16();
  const std::uint32_t hue = p.U8() % 16;
  // Short entries would rarely get past the palette: the input's palette is
  // its first bytes repeated, and the rest follows it.
  std::vector<std::uint8_t> entry(512, 0);
  const std::span<const std::uint8_t> rest = p.Rest();
  const std::size_t paletteBytes = rest.size() < 64 ? rest.size() : 64;
  for (std::size_t i = 0; i < entry.size() && paletteBytes > 0; ++i) entry[i] = rest[i % paletteBytes];
  entry.insert(entry.end(), rest.begin() + static_cast<std::ptrdiff_t>(paletteBytes), rest.end());
  PixelBuffer pixels;
  FillPicture(pixels, {w, h}, 0x00F0F0F0);
  ArtCache cache;
  ArtSizeTable sizes;
  DrawContext ctx{pixels, *client, cache, sizes, xOffset, yOffset};
  DrawRequest req;
  req.type = 1;
  req.right = w;
  req.bottom = h;
  req.hue = hue;
  DrawAnimationFrame(ctx, req, entry);
  fuzz::CheckPicture(pixels, w, h);
  return 0;
}
