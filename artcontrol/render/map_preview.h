#pragma once
// The map preview (art type 8): the map blocks around one centre block, each
// drawn whole (land, then statics) by DrawMapBlock, column by column. Block
// numbers are column × 512 + row on a map of 768 columns and 512 rows of
// 8 x 8-tile blocks; an ArtIndex above 0x60000 names block ArtIndex − 0x60000
// of facet 2.

#include <cstdint>
#include <vector>

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"

namespace tilvo {

// Block numbers above this are on facet 2.
inline constexpr std::uint32_t kFacet2Blocks = 0x60000;

// The blocks drawn around the centre: ⌊√((width / 44)² + (height / 44)²)⌋ / 8
// from the control's unrounded bounds, all divisions truncating; at least 1.
std::int64_t MapPreviewRadius(std::int64_t width, std::int64_t height);

// What the block loop of one map preview paint needs.
struct MapPreviewRequest {
  std::uint32_t artIndex = 0;      // the centre block (ArtIndex)
  std::uint32_t drawFlags = 0;     // DrawFlags, facet selector already set
  std::uint32_t hue = 0;           // ArtColor (0 by then)
  std::int64_t boundsWidth = 0;    // the control's bounds, unrounded
  std::int64_t boundsHeight = 0;
  std::int32_t w = 0;              // the picture
  std::int32_t h = 0;
};

// The type 8 requests of the blocks c × 512 + r for c and r within the radius
// of the centre (c0, r0), columns 0 to 767 and rows 0 to 511 only, column by
// column: bounds of the picture, x offset ((c − c0) − (r − r0)) × 176, y offset
// ((c − c0) + (r − r0)) × 176, the hue and the flags.
std::vector<DrawRequest> PreviewBlockRequests(const MapPreviewRequest& preview);

// The map preview block loop: DrawObject for each of those requests in turn.
void DrawMapPreview(DrawContext& ctx, const MapPreviewRequest& preview);

}  // namespace tilvo
