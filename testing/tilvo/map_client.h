#pragma once
// A generated client for the map preview at full size: a facet 0 map of 13
// columns of blocks whose 13 x 13 blocks around block (6, 6) carry 24 statics
// each, drawn from a given number of item pictures and 40 land tiles, every
// fifth static hued; and the preview items and hidden statics a host adds to
// it. The benchmark times the preview on it, and the tests check that its
// pictures stay byte for byte the same.

#include <cstdint>
#include <vector>

#include "testing/tilvo/synthetic_client.h"

namespace tilvo::mkclient {

// The block the previews centre on: column 6, row 6.
inline constexpr std::uint32_t kMapClientCentre = 6 * 512 + 6;
// Land tiles are art entries 1 to 40.
inline constexpr std::uint32_t kMapClientLandTiles = 40;

// The client with `items` distinct item pictures (art entries 0x4000 onward), hues and tile data.
ClientFolder MapClient(std::uint32_t items);

// A preview item as the host adds it: map coordinates, not block-relative.
struct MapPreviewItem {
  std::uint16_t id;
  std::int16_t x, y, z;
  std::uint16_t color;
};
// One preview item in every third block around the centre, and one below the ground.
std::vector<MapPreviewItem> MapClientPreviewItems(std::uint32_t items);

// A static the host hides, as it names it: id, block and the static's own fields.
struct MapHiddenStatic {
  std::uint16_t id;
  std::uint32_t block;
  std::uint8_t x, y;
  std::int8_t z;
  std::uint16_t color;
};
// One static in every seventh block around the centre.
std::vector<MapHiddenStatic> MapClientHiddenStatics(std::uint32_t items);

}  // namespace tilvo::mkclient
