#pragma once
// Where the map view stands: the centre block the control draws the preview
// around and the pixel shift of the picture, and the tiles under points of
// the picture. The preview draws tile (x, y) of a block, relative to tile
// (0, 0) of the centre block, as a 44 x 44 diamond around
// (W / 2 + (x - y) × 22 + xOffset, H / 2 - 22 + (x + y) × 22 + yOffset).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tilvo::viewer {

// Blocks are 8 x 8 tiles; a block step shifts the picture by 176 pixels.
inline constexpr std::int32_t kBlockTiles = 8;
inline constexpr std::int32_t kMapRows = 512;

struct MapPosition {
  std::int32_t facet = 0;   // 0 or 2
  std::int32_t column = 0;  // of the centre block
  std::int32_t row = 0;
  std::int32_t xOffset = 0; // the picture's shift, the control's xOffset and yOffset
  std::int32_t yOffset = 0;
  bool operator==(const MapPosition&) const = default;
};

// A tile of the map.
struct MapTile {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const MapTile&) const = default;
};

// Block columns of a facet: 896 on facet 0 (the wider map of current clients), 768 on facet 2.
std::int32_t MapColumns(std::int32_t facet);

// The tile whose land diamond holds point (px, py) of a w x h picture.
MapTile TileAt(const MapPosition& at, std::int32_t w, std::int32_t h, std::int32_t px, std::int32_t py);

// The block number (column × 512 + row) of a tile's block.
std::int32_t BlockOf(const MapTile& tile);

// The same picture around the block that holds the picture's middle tile (as
// near as the map's edges allow): the control draws the blocks around its
// centre, so after a drag the view is centred again to see the blocks around it.
MapPosition Recentred(const MapPosition& at);

// The position that shows tile (x, y) of the facet in the picture's middle;
// none for a tile off the facet.
std::optional<MapPosition> CentredOn(std::int32_t facet, const MapTile& tile);

// A tile as typed: "x,y" (blanks allowed, decimal or 0x hexadecimal); none otherwise.
std::optional<MapTile> ParseTile(std::string_view text);

// "x 1443, y 1678, block 92369 (column 180, row 209)".
std::string DescribeTile(const MapTile& tile);

}  // namespace tilvo::viewer
