#include "artcontrol/render/light.h"

#include "artcontrol/render/centred_picture.h"
#include "artcontrol/render/colour.h"

namespace tilvo {

void DrawLight(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry) {
  ByteReader reader(entry.bytes);
  DrawSquare(ctx, req, entry.extra & 0xFFFF, reader, [](ByteReader& r, std::uint32_t& colour) {
    std::uint8_t value = 0;
    if (!r.ReadU8(value)) return false;
    // The byte lands in the upper half of a client colour.
    colour = ToColorRef(static_cast<std::uint16_t>(value << 8));
    return true;
  });
}

}  // namespace tilvo
