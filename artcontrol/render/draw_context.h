#pragma once
// What every decoder draws with: the picture, the client data, the caches
// and the control's scroll offsets.

#include <cstdint>

#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/render/art_cache.h"
#include "artcontrol/render/art_size_table.h"
#include "tilvo/pixel_buffer.h"

namespace tilvo {

struct DrawContext {
  PixelBuffer& pixels;
  const ClientData& data;
  ArtCache& artCache;
  ArtSizeTable& artSizes;
  std::int32_t xOffset = 0;  // the control's scroll, added to every placement
  std::int32_t yOffset = 0;
};

}  // namespace tilvo
