#pragma once
// What every decoder draws with: the picture, the client data, the caches,
// the control's scroll offsets, the host's map preview lists, and the client
// files opened so far. A context lives for one regeneration: its files close
// with it.

#include <cstdint>
#include <optional>
#include <span>

#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/clientdata/file_session.h"
#include "artcontrol/render/art_cache.h"
#include "artcontrol/render/art_size_table.h"
#include "tilvo/pixel_buffer.h"
#include "tilvo/preview_records.h"

namespace tilvo {

struct DrawContext {
  PixelBuffer& pixels;
  const ClientData& data;
  ArtCache& artCache;
  ArtSizeTable& artSizes;
  std::int32_t xOffset = 0;  // the control's scroll, added to every placement
  std::int32_t yOffset = 0;
  // The preview items and hidden statics the map blocks draw and leave out, slot by slot.
  std::span<const std::optional<PreviewItem>> previewItems{};
  std::span<const std::optional<HiddenStatic>> hiddenStatics{};
  FileSession files{};  // every client file the decoders read, each opened once
};

}  // namespace tilvo
