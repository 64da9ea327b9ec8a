// One map block from an arbitrary land block and statics (whose index record
// may claim more than the file holds), with preview items and hidden statics
// taken from the input: land blocks past the end of the map file, statics
// files shorter than their record and records with x or y above 7 draw
// nothing undefined.

#include "artcontrol/render/draw_object.h"
#include "fuzz_client.h"
#include "fuzz_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  const ClientData& client = fuzz::FuzzClient();
  static ArtCache cache;
  static ArtSizeTable sizes;
  fuzz::Params p(data, size);
  const std::int32_t w = p.Side();
  const std::int32_t h = p.Side();
  const std::uint32_t flags = p.U8() & 0x70;
  const std::uint32_t block = p.U8() % 3;
  const std::uint32_t length = p.U16();
  std::vector<std::optional<PreviewItem>> items;
  std::vector<std::optional<HiddenStatic>> hidden;
  for (std::uint8_t k = p.U8() % 4; k > 0; --k) {
    items.push_back(PreviewItem{static_cast<std::uint16_t>(p.U8() % 5), p.U8(), p.U8(), p.U8(), p.U8(), p.U8() % 3});
  }
  for (std::uint8_t k = p.U8() % 4; k > 0; --k) {
    hidden.push_back(HiddenStatic{static_cast<std::uint16_t>(p.U8() % 5), p.U8(), p.U8(), p.U8(), p.U8(), p.U8() % 3});
  }
  const std::span<const std::uint8_t> rest = p.Rest();
  const fuzz::Split split = fuzz::SplitInput(rest.data(), rest.size());
  fuzz::WriteFile("map0.mul", split.first, split.firstSize);
  fuzz::WriteFile("statics0.mul", split.second, split.secondSize);
  std::vector<std::uint8_t> index;
  for (std::uint32_t b = 0; b <= block; ++b) {
    fuzz::detail::Put32(index, b == block ? 0 : 0xFFFFFFFF);
    fuzz::detail::Put32(index, b == block ? length : 0);
    fuzz::detail::Put32(index, 0);
  }
  fuzz::WriteFile("staidx0.mul", index.data(), index.size());
  PixelBuffer pixels;
  FillPicture(pixels, {w, h}, 0x00F0F0F0);
  DrawContext ctx{pixels, client, cache, sizes, 0, 0, items, hidden};
  DrawRequest req;
  req.type = 8;
  req.right = w;
  req.bottom = h;
  req.index = block;
  req.flags = flags;
  DrawObject(ctx, req);
  fuzz::CheckPicture(pixels, w, h);
  return 0;
}
