#include "map_geometry.h"

#include <gtest/gtest.h>

namespace tilvo::viewer {
namespace {

TEST(MapGeometry, TheTileUnderAPointOfThePicture) {
  const struct {
    MapPosition at;
    std::int32_t px, py;
    MapTile tile;
  } cases[] = {
      // A 640 x 480 picture: the centre block's first tile lies around (320, 218).
      {{0, 0, 16, 0, 0}, 320, 218, {0, 128}},
      {{0, 0, 16, 0, 0}, 342, 240, {1, 128}},
      {{0, 0, 16, 0, 0}, 298, 240, {0, 129}},
      {{0, 0, 16, 0, 0}, 276, 218, {-1, 129}},  // west of the map's first column
      {{0, 0, 16, 0, 0}, 320, 196, {0, 128}},   // the diamond's top corner
      {{0, 0, 16, 0, 0}, 320, 195, {-1, 127}},
      {{0, 0, 16, 44, -22}, 364, 196, {0, 128}},  // the picture shifted with it
      {{2, 180, 209, 0, 0}, 320, 218, {1440, 1672}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TileAt(c.at, 640, 480, c.px, c.py), c.tile) << c.px << "," << c.py;
  }
}

TEST(MapGeometry, RecentringKeepsThePictureWhereItWas) {
  const struct {
    MapPosition at;
    MapPosition recentred;
  } cases[] = {
      {{0, 5, 16, 0, 0}, {0, 5, 16, 0, 0}},
      {{0, 5, 16, -176, -176}, {0, 6, 16, 0, 0}},      // dragged one block east
      {{0, 5, 16, 176, -176}, {0, 5, 17, 0, 0}},       // one block south
      {{0, 5, 16, -200, -380}, {0, 6, 16, -24, -204}},
      {{0, 0, 0, 500, 500}, {0, 0, 0, 500, 500}},      // no block lies west or north of the map
      {{2, 767, 511, -352, -352}, {2, 767, 511, -352, -352}},
  };
  for (const auto& c : cases) {
    const MapPosition recentred = Recentred(c.at);
    EXPECT_EQ(recentred, c.recentred) << c.at.xOffset << "," << c.at.yOffset;
    // Every point shows the same tile before and after.
    for (const auto& [x, y] : {std::pair{0, 0}, {320, 240}, {639, 17}, {101, 479}}) {
      EXPECT_EQ(TileAt(recentred, 640, 480, x, y), TileAt(c.at, 640, 480, x, y));
    }
  }
}

TEST(MapGeometry, GoingToATileCentresIt) {
  for (const MapTile tile : {MapTile{0, 0}, MapTile{1443, 1678}, MapTile{7167, 4095}, MapTile{7, 9}}) {
    const std::optional<MapPosition> at = CentredOn(0, tile);
    ASSERT_TRUE(at);
    EXPECT_EQ(TileAt(*at, 640, 480, 320, 240), tile) << tile.x << "," << tile.y;
    EXPECT_EQ(BlockOf(tile), at->column * 512 + at->row);
  }
  EXPECT_FALSE(CentredOn(0, {7168, 0}));
  EXPECT_FALSE(CentredOn(2, {6144, 0}));
  EXPECT_FALSE(CentredOn(0, {0, 4096}));
  EXPECT_FALSE(CentredOn(1, {0, 0}));
}

TEST(MapGeometry, ReadsAndWritesTiles) {
  const struct {
    const char* text;
    std::optional<MapTile> tile;
  } cases[] = {
      {"1443,1678", MapTile{1443, 1678}}, {" 0x10 , 20 ", MapTile{16, 20}}, {"1443", std::nullopt},
      {"a,b", std::nullopt},              {"-1,2", std::nullopt},           {"1,2,3", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTile(c.text), c.tile) << c.text;
  EXPECT_EQ(DescribeTile({1443, 1678}), "x 1443, y 1678, block 92369 (column 180, row 209)");
}

}  // namespace
}  // namespace tilvo::viewer
