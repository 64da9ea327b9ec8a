// Gump decoding of arbitrary entry bytes with arbitrary extra values and
// lengths, picture sizes and scroll offsets: row starts, run counts and
// lengths beyond the entry stop at its end, and nothing is written outside
// the picture.

#include <memory>

#include "artcontrol/render/gump.h"
#include "fuzz_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  fuzz::Params p(data, size);
  static const auto client = std::make_unique<ClientData>();
  const std::int32_t w = p.Side();
  const std::int32_t h = p.Side();
  const std::int32_t xOffset = p.S16() * 4;
  const std::int32_t yOffset = p.S16() * 4;
  IndexedArt entry;
  // Small heights keep the table inside short inputs more often.
  entry.extra = p.U16() << 16 | (p.U8() % 64);
  entry.length = p.U32();
  const std::span<const std::uint8_t> rest = p.Rest();
  entry.bytes.assign(rest.begin(), rest.end());
  PixelBuffer pixels;
  FillPicture(pixels, {w, h}, 0x00F0F0F0);
  ArtCache cache;
  ArtSizeTable sizes;
  DrawContext ctx{pixels, *client, cache, sizes, xOffset, yOffset};
  DrawRequest req;
  req.type = 3;
  req.right = w;
  req.bottom = h;
  DrawGump(ctx, req, entry);
  fuzz::CheckPicture(pixels, w, h);
  return 0;
}
