// Texture and light decoding of arbitrary entry bytes with arbitrary extra
// values and lengths: squares larger than their entry stop at its end.

#include <memory>

#include "artcontrol/render/light.h"
#include "artcontrol/render/texture.h"
#include "fuzz_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  fuzz::Params p(data, size);
  static const auto client = std::make_unique<ClientData>();
  const bool light = (p.U8() & 1) != 0;
  const std::int32_t w = p.Side();
  const std::int32_t h = p.Side();
  const std::int32_t xOffset = p.S16();
  const std::int32_t yOffset = p.S16();
  IndexedArt entry;
  entry.extra = p.U32();
  entry.length = p.U32();
  const std::span<const std::uint8_t> rest = p.Rest();
  entry.bytes.assign(rest.begin(), rest.end());
  PixelBuffer pixels;
  FillPicture(pixels, {w, h}, 0x00F0F0F0);
  ArtCache cache;
  ArtSizeTable sizes;
  DrawContext ctx{pixels, *client, cache, sizes, xOffset, yOffset};
  DrawRequest req;
  req.type = light ? 7 : 5;
  req.right = w;
  req.bottom = h;
  if (light) {
    DrawLight(ctx, req, entry);
  } else {
    DrawTexture(ctx, req, entry);
  }
  fuzz::CheckPicture(pixels, w, h);
  return 0;
}
