#pragma once
// One 8 x 8-tile block of the map preview: its land tiles and the statics on
// them, with the host's preview items added and its hidden statics left out.
//   map block (196 bytes): a 4-byte header (not used), then 64 cells of
//     3 bytes, cell i at column i % 8 and row i / 8: land tile id (an art
//     entry number), signed 8-bit z
//   static (7 bytes): item id, x and y within the block (0 to 7), signed 8-bit z, hue

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"

namespace tilvo {

// DrawFlags bits of the map preview.
inline constexpr std::uint32_t kFlagLandLayer = 0x0010;     // land, and statics below it hidden
inline constexpr std::uint32_t kFlagStaticsLayer = 0x0020;  // statics
inline constexpr std::uint32_t kFlagPreviewItems = 0x0040;  // the host's preview items among the statics

// The files of one facet, by ClientFileSet slot (the patch lists are the facet's DiffLists).
struct MapFacetFiles {
  std::uint8_t selector;            // DrawFlags bits 8 to 15 that choose the facet
  int facet;                        // the facet whose DiffLists apply
  int map;                          // the map its land blocks come from, as a container names it
  int landBlocks;
  int landDiffs;
  int staticsIndex;
  int staticsData;
  int staticsDiffIndex;
  int staticsDiffData;
  std::uint32_t staticsPatchFileId;  // file id of the statics patches in "verdata.mul"
};
// The facet chosen by DrawFlags bits 8 to 15 (0 or 2), or null for any other value.
const MapFacetFiles* FindMapFacet(std::uint32_t drawFlags);

// The land of one block: tile id and z per cell.
struct LandBlock {
  std::array<std::uint16_t, 64> tiles{};
  std::array<std::int8_t, 64> z{};
};
// Block b of the facet, from the land diff file when the facet's land list
// names it, else from the map file (or the map container that stands in for
// it: block b is at (b mod 4096) × 196 of its entry b / 4096); none when the
// file does not open or does not hold all 196 bytes of the block.
std::optional<LandBlock> ReadLandBlock(FileSession& files, const ClientData& data, const MapFacetFiles& facet,
                                       std::uint32_t b);

// Block b from the facet's map file (or its container) alone, whatever its land patch list says.
std::optional<LandBlock> ReadBaseLandBlock(FileSession& files, const ClientData& data, const MapFacetFiles& facet,
                                           std::uint32_t b);

// One static of a block as read, or a preview item appended to them.
struct StaticRecord {
  std::uint16_t id = 0;
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  std::int8_t z = 0;
  std::uint16_t hue = 0;
};
// The statics of block b in file order: from the statics diff files when the
// facet's statics list names it, else from a "verdata.mul" patch, else from
// the statics index and data files. The count is (length / 7) cut to 16 bits
// (0 for a length of -1); a file shorter than that gives the whole records it
// holds, and an index or data file that does not open gives none.
std::vector<StaticRecord> ReadStatics(FileSession& files, const ClientData& data, const MapFacetFiles& facet,
                                      std::uint32_t b);

// DrawMapBlock: block req.index of the facet in req.flags, its grid origin
// moved by the request's offsets. Land layer: 64 land tiles. Statics layer:
// the statics less the hidden ones, then the preview items of the block,
// drawn cell by cell, within a cell by z + tile-data height (signed); with the
// land layer on, records below the land of their cell are left out. Records
// whose x or y is above 7 lie outside the block and are skipped; when the land
// block cannot be read, no land is drawn and nothing counts as under it.
void DrawMapBlock(DrawContext& ctx, const DrawRequest& req);

}  // namespace tilvo
