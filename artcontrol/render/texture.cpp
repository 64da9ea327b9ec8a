#include "artcontrol/render/texture.h"

#include "artcontrol/render/centred_picture.h"
#include "artcontrol/render/colour.h"

namespace tilvo {

namespace {

constexpr std::uint32_t kSmallTextureBytes = 0x2000;
constexpr std::uint32_t kSmallEdge = 64;
constexpr std::uint32_t kLargeEdge = 128;

}  // namespace

std::uint32_t TextureEdge(std::uint32_t extra, std::uint32_t length) {
  if (extra != 0) return extra & 0xFFFF;
  return length == kSmallTextureBytes ? kSmallEdge : kLargeEdge;
}

void DrawTexture(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry) {
  const std::uint32_t edge = TextureEdge(entry.extra, entry.length);
  ByteReader reader(entry.bytes);
  DrawSquare(ctx, req, edge, reader, [](ByteReader& r, std::uint32_t& colour) {
    std::uint16_t value = 0;
    if (!r.ReadU16(value)) return false;
    colour = ToColorRef(value);
    return true;
  });
}

}  // namespace tilvo
