// Multis from an arbitrary multi.mul entry whose index record may claim more
// than the file holds: components are read while whole, sorted without a grid
// that damaged coordinates could make enormous, and drawn through the art
// path; nothing is written outside the picture. The same bytes read as a
// container's entry give no more components than they can hold.

#include "artcontrol/render/draw_object.h"
#include "artcontrol/render/multi.h"
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
  const std::int32_t xOffset = p.S16();
  const std::int32_t yOffset = p.S16();
  const std::uint32_t length = p.U8() & 1 ? p.U32() : static_cast<std::uint32_t>(p.Rest().size());
  const std::span<const std::uint8_t> rest = p.Rest();
  std::vector<std::uint8_t> index;
  fuzz::detail::Put32(index, 0);
  fuzz::detail::Put32(index, length);
  fuzz::detail::Put32(index, 0);
  fuzz::WriteFile("multi.idx", index.data(), index.size());
  fuzz::WriteFile("multi.mul", rest.data(), rest.size());
  PixelBuffer pixels;
  FillPicture(pixels, {w, h}, 0x00F0F0F0);
  DrawContext ctx{pixels, client, cache, sizes, xOffset, yOffset};
  DrawRequest req;
  req.type = 2;
  req.right = w;
  req.bottom = h;
  DrawObject(ctx, req);
  fuzz::CheckPicture(pixels, w, h);
  // The same bytes as a container's multi entry.
  if (ReadCollectionComponents(rest, client.tileData).size() > rest.size() / 14) __builtin_trap();
  return 0;
}
