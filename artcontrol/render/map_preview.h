#pragma once
// The map preview (art type 8): the map blocks around one centre block, each
// drawn whole (land, then statics) by DrawMapBlock, column by column. Block
// numbers are column × 512 + row on a map of 512 rows of 8 x 8-tile blocks
// and 768 columns, or 896 for facet 0's wider map (7168 tiles across) of
// current clients; an ArtIndex above 0x60000 names block ArtIndex − 0x60000
// of facet 2, so the eastern blocks of the wider map (columns 768 to 895) can
// be centred only through MapCentre.

#include <cstdint>
#include <vector>

#include "artcontrol/automation/control_state.h"
#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"

namespace tilvo {

// Block numbers above this are on facet 2.
inline constexpr std::uint32_t kFacet2Blocks = 0x60000;
// Rows of blocks, and columns of the classic and of the wider facet 0 map.
inline constexpr std::int64_t kMapRows = 512;
inline constexpr std::int64_t kMapColumns = 768;
inline constexpr std::int64_t kWideMapColumns = 896;

// The centre an ArtIndex names.
MapCentre CentreOfArtIndex(std::uint32_t artIndex);

// The block columns of a facet's map: 896 for facet 0 when its map holds the
// last block of the wider map (the file, or the container, which carries an
// extra block past the classic map's end), else 768.
std::int64_t MapBlockColumns(FileSession& files, const ClientData& data, int facet);

// The blocks drawn around the centre: ⌊√((width / 44)² + (height / 44)²)⌋ / 8
// from the control's unrounded bounds, all divisions truncating; at least 1.
std::int64_t MapPreviewRadius(std::int64_t width, std::int64_t height);

// What the block loop of one map preview paint needs.
struct MapPreviewRequest {
  std::uint32_t centre = 0;        // the centre block on its facet
  std::uint32_t drawFlags = 0;     // DrawFlags, facet selector already set
  std::uint32_t hue = 0;           // ArtColor (0 by then)
  std::int64_t boundsWidth = 0;    // the control's bounds, unrounded
  std::int64_t boundsHeight = 0;
  std::int32_t w = 0;              // the picture
  std::int32_t h = 0;
  std::int64_t columns = kMapColumns;  // the facet's map
};

// The type 8 requests of the blocks c × 512 + r for c and r within the radius
// of the centre (c0, r0), on the map's columns and rows 0 to 511 only, column by
// column: bounds of the picture, x offset ((c − c0) − (r − r0)) × 176, y offset
// ((c − c0) + (r − r0)) × 176, the hue and the flags.
std::vector<DrawRequest> PreviewBlockRequests(const MapPreviewRequest& preview);

// The map preview block loop: DrawObject for each of those requests in turn.
void DrawMapPreview(DrawContext& ctx, const MapPreviewRequest& preview);

}  // namespace tilvo
